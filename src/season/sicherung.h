#pragma once
// Backups of the data folder: one zip archive with a consistent copy of the
// master database, every match day's group databases and its game-list
// files (or of the master database alone), and a list of contents that a
// restore checks before it changes anything. Knows nothing of the window; the
// caller closes and reopens its connections around a restore.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace Sicherung
{

// Automatic snapshots live in this folder of the data directory; the newest
// `behalten` are kept.
inline const QString ordnerName = QStringLiteral("Sicherungen");
inline constexpr int behalten = 20;
// The list of contents inside every archive.
inline const QString inhaltsDatei = QStringLiteral("reizwerk-sicherung.txt");

// What an archive holds, and so what restoring it replaces: everything, or
// the master database alone (the snapshot before a roster import).
enum class Umfang { Alles, Stammdaten };

// Bounds a restore holds an archive to: what this program writes. No
// database of a club comes near this, and a game-list file or a day's lists
// are bounded by what the link and the table app accept.
inline constexpr qint64 maxDatenbank = qint64(256) * 1024 * 1024;

struct Inhalt {
    Umfang umfang = Umfang::Alles;
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
QString automatisch(
    const QString& datenVerzeichnis, const QString& anlass, QString* fehler = nullptr, Umfang umfang = Umfang::Alles);

// What the start found of a restore that did not end (the program was killed
// or the machine lost power): nothing; a check that had changed nothing
// (removed); data that was half moved aside (put back, the data of before);
// or restored data that was half moved in (completed).
enum class Unterbrochen { Nichts, Verworfen, Zurueckgenommen, Abgeschlossen, Fehlgeschlagen };
// Run at start, before any database of the data folder is opened.
Unterbrochen unterbrocheneAbschliessen(const QString& datenVerzeichnis, QString* fehler = nullptr);
// A line for the status bar; empty for Nichts.
QString unterbrochenText(Unterbrochen was, const QString& fehler = QString());

namespace Test
{
// Stops a restore at its n-th file step (1, 2, ...) as if the program had
// been killed there; 0 lets every restore run. For tests only.
void abbrechenBeiSchritt(int n);
int schritte(); // file steps of the last restore
} // namespace Test

// Restoring in two steps: pruefen() reads, checks and unpacks the whole
// archive into a folder of its own beside the data; einspielen() then moves
// the current files aside and the unpacked ones in, one rename at a time,
// with a state file saying which way an interruption is to be settled (see
// unterbrocheneAbschliessen). Until einspielen() the data folder is not
// touched; a refused archive changes nothing.
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
    QStringList m_dateien; // relative names, unpacked below m_arbeit/neu
    QString m_arbeit; // ".wiederherstellen-..." beside the data
    bool m_liegenLassen = false; // stopped by the test hook: left as a kill would
};

} // namespace Sicherung
