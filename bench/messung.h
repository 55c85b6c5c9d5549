#pragma once
// Timing, medians, child-process measurement and the figure lines the
// benchmark prints.

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Messung
{

double median(QVector<double> werte);

// Seconds one call of `f` takes.
template<typename F> double sekunden(F&& f)
{
    QElapsedTimer uhr;
    uhr.start();
    f();
    return double(uhr.nsecsElapsed()) / 1e9;
}

// Wall time and peak resident memory of one run of a child process.
struct Prozess {
    double sekunden = 0.0;
    double maxRssMiB = 0.0;
    int status = -1; // exit code, -1 when it did not end normally
};

// Runs `programm` with `umgebung` as its whole environment ("NAME=value"),
// output discarded, and waits for it. Call before the process has grown: a
// child inherits the parent's peak memory up to its exec.
Prozess starten(const QString& programm, const QStringList& umgebung);

// Resident memory of this process now, MiB.
double eigenerRssMiB();

enum class Einheit { Sekunden, MiB };

// One line of the table: medians of program and floor, their ratio, and the
// goal on the ratio (0: none) and on the program's time (0: none).
void zeile(const QString& name, int laeufe, double programm, double boden, Einheit einheit, double zielFaktor = 0,
    double zielSekunden = 0);
void kopf();
void hinweis(const QString& text);

} // namespace Messung
