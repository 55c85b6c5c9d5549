#include "storage/datensperre.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

Datensperre::Datensperre(const QString& datenVerzeichnis)
    : m_datei(QDir(datenVerzeichnis).filePath(dateiName()))
    , m_sperre(std::make_unique<QLockFile>(m_datei))
{
    // A running program holds its lock for days; only a vanished process
    // makes a lock stale, never its age.
    m_sperre->setStaleLockTime(0);
}

Datensperre::~Datensperre() = default;

Datensperre::Ergebnis Datensperre::nehmen()
{
    QDir().mkpath(QFileInfo(m_datei).absolutePath());
    if (m_sperre->tryLock(0))
        return Ergebnis::Gesperrt;
    if (m_sperre->error() == QLockFile::LockFailedError) {
        QString host, programm;
        m_sperre->getLockInfo(&m_halter, &host, &programm);
        return Ergebnis::BelegtVonAnderem;
    }
    return Ergebnis::NichtMoeglich;
}

bool Datensperre::gehalten() const
{
    return m_sperre->isLocked();
}
