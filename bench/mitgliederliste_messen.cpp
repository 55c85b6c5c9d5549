// Benchmark figure of the member-list import: a workbook of 5,000 members
// (member number, first and last name, club, player group) read and planned
// against a roster of 1,000 of them. The floor unpacks the workbook's two
// parts without reading them.

#include <QDir>
#include <QTemporaryDir>

#include "messung.h"
#include "mitglieder/mitgliederliste.h"
#include "season/zipdatei.h"

namespace
{

QString xml(const QString& s)
{
    return s.toHtmlEscaped();
}

bool mappeSchreiben(const QString& pfad, int zeilen)
{
    QString geteilt = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst>");
    QString blatt = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet><sheetData>");
    int text = 0;
    auto zelle = [&](int zeile, char spalte, const QString& wert) {
        geteilt += QStringLiteral("<si><t>%1</t></si>").arg(xml(wert));
        blatt += QStringLiteral("<c r=\"%1%2\" t=\"s\"><v>%3</v></c>").arg(QLatin1Char(spalte)).arg(zeile).arg(text++);
    };
    for (int z = 1; z <= zeilen + 1; ++z) {
        blatt += QStringLiteral("<row r=\"%1\">").arg(z);
        if (z == 1) {
            zelle(z, 'A', QStringLiteral("Mitgliedsnummer"));
            zelle(z, 'B', QStringLiteral("Vorname"));
            zelle(z, 'C', QStringLiteral("Nachname"));
            zelle(z, 'D', QStringLiteral("Verein"));
            zelle(z, 'E', QStringLiteral("Spielergruppe"));
        } else {
            blatt += QStringLiteral("<c r=\"A%1\"><v>%2</v></c>").arg(z).arg(40000 + z);
            zelle(z, 'B', QStringLiteral("Vorname%1").arg(z));
            zelle(z, 'C', QStringLiteral("von Nachname%1").arg(z));
            zelle(z, 'D', QStringLiteral("Skatclub %1").arg(z % 50));
            zelle(z, 'E', z % 3 ? QStringLiteral("Alle") : QStringLiteral("Damen"));
        }
        blatt += QStringLiteral("</row>");
    }
    geteilt += QStringLiteral("</sst>");
    blatt += QStringLiteral("</sheetData></worksheet>");
    ZipSchreiber zip;
    QString fehler;
    return zip.oeffnen(pfad, false, &fehler)
        && zip.hinzufuegen(QStringLiteral("xl/sharedStrings.xml"), geteilt.toUtf8(), &fehler)
        && zip.hinzufuegen(QStringLiteral("xl/worksheets/sheet1.xml"), blatt.toUtf8(), &fehler)
        && zip.schliessen(&fehler);
}

} // namespace

bool mitgliederlisteMessen(int laeufe)
{
    QTemporaryDir ordner;
    const QString pfad = QDir(ordner.path()).filePath(QStringLiteral("mitglieder.xlsx"));
    const int anzahl = 5000;
    if (!ordner.isValid() || !mappeSchreiben(pfad, anzahl)) {
        Messung::hinweis(QStringLiteral("member list: the workbook could not be written"));
        return false;
    }
    QVector<Mitgliederliste::Bisher> roster;
    for (int i = 0; i < 1000; ++i) {
        Mitgliederliste::Bisher b;
        const int z = 2 + i * 5;
        b.spieler = { 100 + i, QStringLiteral("Vorname%1").arg(z), QStringLiteral("von Nachname%1").arg(z),
            QStringLiteral("Nein") };
        b.gruppe = QStringLiteral("Alle");
        b.mitglied = QStringLiteral("Ja");
        b.mitgliedsNr = QString::number(40000 + z);
        roster << b;
    }

    QVector<double> zeiten, boden;
    int neu = -1;
    for (int lauf = 0; lauf <= laeufe; ++lauf) {
        Mitgliederliste::Plan plan;
        const double t = Messung::sekunden([&] {
            const Mitgliederliste::Tabelle tabelle = Mitgliederliste::dateiLesen(pfad);
            plan = Mitgliederliste::planen(
                roster, {}, tabelle, Mitgliederliste::raten(tabelle.zeilen.value(0)), QStringLiteral("Alle"));
        });
        const double b = Messung::sekunden([&] {
            ZipLeser zip;
            QString fehler;
            QByteArray daten;
            zip.oeffnen(pfad, &fehler);
            zip.lesen(QStringLiteral("xl/sharedStrings.xml"), 1 << 26, daten, &fehler);
            zip.lesen(QStringLiteral("xl/worksheets/sheet1.xml"), 1 << 26, daten, &fehler);
        });
        neu = plan.anzahl(Mitgliederliste::Art::Neu);
        if (lauf > 0) {
            zeiten << t;
            boden << b;
        }
    }
    if (neu != anzahl - 1000) {
        Messung::hinweis(
            QStringLiteral("member list: %1 new players planned, %2 expected").arg(neu).arg(anzahl - 1000));
        return false;
    }
    Messung::zeile(QStringLiteral("member list .xlsx 5000 rows read and merged"), laeufe, Messung::median(zeiten),
        Messung::median(boden), Messung::Einheit::Sekunden, 0, 1.0);
    return true;
}
