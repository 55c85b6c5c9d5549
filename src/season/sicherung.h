#pragma once
// Backups of the data folder: one zip archive with a consistent copy of the
// master database, every match day's group databases and its game-list
// files, and a list of contents that a restore checks before it changes
// anything. Knows nothing of the window; the caller closes and reopens its
// connections around a restore.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;

namespace Sicherung
{

// Automatic snapshots live in this folder of the data directory; the newest
// `behalten` are kept.
inline const QString ordnerName = QStringLiteral("Sicherungen");
inline constexpr int behalten = 20;
// The list of contents inside every archive.
inline const QString inhaltsDatei = QStringLiteral("reizwerk-sicherung.txt");

struct Inhalt {
    QDateTime zeitpunkt;
    QString anlass;
    int spieler = 0; // rows of Spieler
    int ranglisteZeilen = 0;
    int spieltage = 0;
    int gruppen = 0;
    int spiellisten = 0; // game-list files
    QDate ersterTag, letzterTag;
    QStringList nichtGesichert; // files that could not be read (with the reason)
};

// "Stammdaten mit 12 Spielern, 3 Spieltage (05.01.2026 bis 19.01.2026) mit 4 Gruppen, 2 Spiellisten"
QString beschreibung(const Inhalt& inhalt);

QString ordner(const QString& datenVerzeichnis);

// Writes the archive `zielDatei` (replacing it only when complete).
bool schreiben(
    const QString& datenVerzeichnis, const QString& zielDatei, const QString& anlass, Inhalt* inhalt, QString* fehler);

// A snapshot into the automatic folder, named after the time and the reason;
// older automatic snapshots beyond `behalten` are removed. Returns the file,
// empty on failure.
QString automatisch(const QString& datenVerzeichnis, const QString& anlass, QString* fehler = nullptr);

// Restoring in two steps: pruefen() reads, checks and unpacks the whole
// archive into a folder of its own beside the data; einspielen() then puts
// the unpacked files in place of the current ones. Until einspielen() the
// data folder is not touched; a refused archive changes nothing.
class Wiederherstellung
{
public:
    explicit Wiederherstellung(const QString& datenVerzeichnis);
    ~Wiederherstellung();

    bool pruefen(const QString& archiv, QString* fehler);
    const Inhalt& inhalt() const { return m_inhalt; }
    // Every database connection to the data folder must be closed.
    bool einspielen(QString* fehler);

private:
    QString m_daten;
    Inhalt m_inhalt;
    QStringList m_dateien; // relative names, unpacked below m_auspacken
    std::unique_ptr<QTemporaryDir> m_auspacken;
};

} // namespace Sicherung
