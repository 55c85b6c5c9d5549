#pragma once
// One program per data folder: a lock file in the data folder, held for as
// long as the window lives. A lock left behind by a program that crashed is
// recognised (its process is gone) and taken over. QLockFile does both on
// every system Qt runs on (see storage/plattform.h).

#include <QString>

#include <memory>

class QLockFile;

class Datensperre
{
public:
    enum class Ergebnis { Gesperrt, BelegtVonAnderem, NichtMoeglich };

    explicit Datensperre(const QString& datenVerzeichnis);
    ~Datensperre();
    Datensperre(const Datensperre&) = delete;
    Datensperre& operator=(const Datensperre&) = delete;

    Ergebnis nehmen();
    bool gehalten() const;
    QString datei() const { return m_datei; }
    // The process that holds the lock (0 when unknown).
    qint64 halter() const { return m_halter; }

    static QString dateiName() { return QStringLiteral("reizwerk.lock"); }

private:
    QString m_datei;
    qint64 m_halter = 0;
    std::unique_ptr<QLockFile> m_sperre;
};
