#include "roster/spielerdatei.h"

#include <QFileInfo>
#include <QList>
#include <QStandardPaths>

#include "storage/datenbank.h"

#include <QSqlError>
#include <QSqlQuery>

namespace Spielerdatei
{

QStringList suchOrte()
{
    return { QStringLiteral("%1/%2").arg(
                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), dateiName),
        QStringLiteral("%1/%2").arg(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation), dateiName) };
}

QString finden()
{
    const QStringList orte = suchOrte();
    for (const QString& pfad : orte)
        if (QFileInfo(pfad).isFile())
            return pfad;
    return {};
}

static QString feld(const QByteArray& bytes)
{
    // A NUL byte ends the field, as the file's C origins had it.
    return QString::fromUtf8(bytes.constData(), static_cast<int>(qstrnlen(bytes.constData(), bytes.size())));
}

Ergebnis lesen(const QByteArray& inhalt)
{
    Ergebnis e;
    const QList<QByteArray> zeilen = inhalt.split('\n');
    for (QByteArray zeile : zeilen) {
        if (zeile.endsWith('\r'))
            zeile.chop(1);
        if (zeile.isEmpty())
            continue;
        const QList<QByteArray> teile = zeile.split(' ');
        if (teile.size() != 4) {
            ++e.uebersprungen;
            continue;
        }
        Zeile z;
        z.vorname = feld(teile.at(0));
        z.nachname = feld(teile.at(1));
        z.gruppe = feld(teile.at(2));
        const QString mitglied = feld(teile.at(3));
        z.mitglied = (mitglied == QLatin1String("Nein") || mitglied == QLatin1String("nein")) ? QStringLiteral("Nein")
                                                                                              : QStringLiteral("Ja");
        e.spieler << z;
    }
    return e;
}

bool rosterErsetzen(QSqlDatabase db, const QVector<Zeile>& spieler)
{
    Db::Transaktion t(db);
    if (!t.begonnen())
        return false;
    if (!Db::ausfuehren(db, QStringLiteral("DELETE FROM Spieler")))
        return false;
    QSqlQuery q(db);
    if (!q.prepare(QStringLiteral("INSERT INTO Spieler (StartNr, VorName, NachName, Gruppe, Mitglied, Preisskat) "
                                  "VALUES (?, ?, ?, ?, ?, 'Nein')"))) {
        Db::Melder::instanz()->melden(db.lastError().text());
        return false;
    }
    int startNr = 100;
    for (const Zeile& z : spieler) {
        q.bindValue(0, startNr++);
        q.bindValue(1, z.vorname);
        q.bindValue(2, z.nachname);
        q.bindValue(3, z.gruppe);
        q.bindValue(4, z.mitglied);
        if (!q.exec()) {
            Db::Melder::instanz()->melden(q.lastError().text());
            return false;
        }
    }
    return t.abschliessen();
}

} // namespace Spielerdatei
