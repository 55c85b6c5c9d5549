#pragma once
// The match-day reports as functions of a snapshot of the results table: the
// HTML page, the fixed-width text file and the tab-separated spreadsheet
// import. They know nothing of the window; the slots collect the snapshot and
// write what these return.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

class QAbstractItemModel;
class QSettings;
class QTextCodec;

namespace Bericht
{

// What the reports read of the results table, as shown on screen.
struct Schnappschuss {
    QStringList kopf; // header texts, in column order
    QVector<QStringList> zeilen; // display texts, rows in model order
    QDate datum; // the match day
    QString listenName; // "Kosten/ListenName"
    double einsatz = 0.0; // prize-skat stake, "Kosten/Preisskat"
};

// Header texts from `kopfModell` (the view's model), cells from `model`.
Schnappschuss schnappschuss(const QAbstractItemModel& kopfModell, const QAbstractItemModel& model, const QDate& datum,
    const QString& listenName, double einsatz);
// The two settings the reports read: list name and stake. A stake written
// with a decimal comma is no number and counts 0.
void einstellungenLesen(const QSettings& s, QString& listenName, double& einsatz);

// Euro sums in the reports: one decimal, "," as decimal separator.
QString betrag(double wert);

// Text for an HTML page kept in ISO 8859-1: & < > " escaped, characters
// outside Latin-1 as numeric character references.
QString htmlText(const QString& text);

// The page frame shared by the match-day report and the ranking.
QString htmlKopf(const QString& titel);
QString htmlFuss();

// The complete pages and files; every line ends with "\n".
QString htmlBericht(const Schnappschuss& s);
QString textBericht(const Schnappschuss& s);
QString excelBericht(const Schnappschuss& s);

// The row indices ordered by "Summe Punkte", highest first; rows with equal
// sums keep their order in the table.
QVector<int> reihenfolge(const Schnappschuss& s);

// An HTML page (already free of characters outside Latin-1) as file bytes.
QByteArray htmlBytes(const QString& seite);
// Text and spreadsheet files in the local 8-bit encoding (UTF-8 where the
// system's locale uses it); `codec` null means the locale's codec.
QByteArray lokaleBytes(const QString& text, QTextCodec* codec = nullptr);

// Writes `inhalt` to `datei`, replacing it; line ends become the platform's
// when `textModus` is set. On failure returns false with the reason.
bool dateiSchreiben(const QString& datei, const QByteArray& inhalt, bool textModus, QString* grund);

} // namespace Bericht
