#include "messung.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Messung
{

double median(QVector<double> werte)
{
    if (werte.isEmpty())
        return 0.0;
    std::sort(werte.begin(), werte.end());
    const int n = werte.size();
    return n % 2 ? werte.at(n / 2) : (werte.at(n / 2 - 1) + werte.at(n / 2)) / 2.0;
}

Prozess starten(const QString& programm, const QStringList& umgebung)
{
    Prozess p;
    const QByteArray pfad = QFile::encodeName(programm);
    std::vector<QByteArray> env;
    env.reserve(size_t(umgebung.size()));
    for (const QString& e : umgebung)
        env.push_back(e.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = { const_cast<char*>(pfad.constData()), nullptr };

    QElapsedTimer uhr;
    uhr.start();
    const pid_t pid = fork();
    if (pid < 0)
        return p;
    if (pid == 0) {
        const int leer = open("/dev/null", O_WRONLY);
        if (leer >= 0) {
            dup2(leer, 1);
            dup2(leer, 2);
        }
        execve(argv[0], argv, envp.data());
        _exit(127);
    }
    int status = 0;
    rusage r {};
    if (wait4(pid, &status, 0, &r) != pid)
        return p;
    p.sekunden = double(uhr.nsecsElapsed()) / 1e9;
    p.maxRssMiB = double(r.ru_maxrss) / 1024.0; // KiB on Linux
    p.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return p;
}

double eigenerRssMiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> teile = f.readAll().split(' ');
    return teile.size() > 1 ? teile.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0.0;
}

static QString wert(double w, Einheit e)
{
    if (e == Einheit::MiB)
        return QStringLiteral("%1 MiB").arg(w, 0, 'f', 1);
    if (w >= 1.0)
        return QStringLiteral("%1 s").arg(w, 0, 'f', 2);
    return QStringLiteral("%1 ms").arg(w * 1000.0, 0, 'f', w < 0.01 ? 2 : 1);
}

void kopf()
{
    std::printf("%-44s %5s %12s %12s %7s  %s\n", "figure", "runs", "program", "floor", "ratio", "goal");
    std::fflush(stdout);
}

void zeile(const QString& name, int laeufe, double programm, double boden, Einheit einheit, double zielFaktor,
    double zielSekunden)
{
    const double faktor = boden > 0 ? programm / boden : 0.0;
    QString ziel;
    bool erfuellt = true;
    if (zielFaktor > 0) {
        ziel += QStringLiteral("<= %1x").arg(zielFaktor, 0, 'g', 3);
        erfuellt = erfuellt && faktor <= zielFaktor;
    }
    if (zielSekunden > 0) {
        ziel += QStringLiteral("%1< %2 s")
                    .arg(ziel.isEmpty() ? QString() : QStringLiteral(", "))
                    .arg(zielSekunden, 0, 'g', 3);
        erfuellt = erfuellt && programm < zielSekunden;
    }
    if (ziel.isEmpty())
        ziel = QStringLiteral("-");
    else
        ziel += erfuellt ? QStringLiteral("  met") : QStringLiteral("  MISSED");
    std::printf("%-44s %5d %12s %12s %6.2fx  %s\n", qPrintable(name), laeufe, qPrintable(wert(programm, einheit)),
        qPrintable(wert(boden, einheit)), faktor, qPrintable(ziel));
    std::fflush(stdout);
}

void hinweis(const QString& text)
{
    std::printf("# %s\n", qPrintable(text));
    std::fflush(stdout);
}

} // namespace Messung
