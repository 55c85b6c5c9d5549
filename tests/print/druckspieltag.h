#pragma once
// The match day the printing tests read back: 22 players of group "Herren",
// four series from table 3, series 1 and 2 played, series 3 drawn but not
// played, series 4 not drawn; a late registrant (sits series 1 out), a player
// inactive in series 3, names with umlauts, ß, an apostrophe, Greek and
// Cyrillic letters, and one of 40 characters. Two players share a total.

#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QStringList>

#include "app/mainwindow.h"
#include "participants/teilnehmerpflege.h"
#include "testumgebung.h"
#include "ui_mainwindow.h"

namespace Druckspieltag
{

inline const QString langerName = QStringLiteral("Anna-Katharina-Luisa Schwarzenberg-Wei\u00dfe");
inline const QString spaeter = QStringLiteral("Zo\u00eb \u00d6zt\u00fcrk");
constexpr int spaeterNr = 122;
constexpr int inaktivNr = 110; // sits out series 3

inline QVector<Turnierbau::Spieler> spieler()
{
    const QStringList namen
        = { QStringLiteral("J\u00fcrgen M\u00fcller"), QStringLiteral("Heinz-G\u00fcnther Wei\u00df"),
              QStringLiteral("Ren\u00e9e O'Brien"), QStringLiteral("\u0141ukasz W\u00f3jcik"), langerName,
              QStringLiteral("\u0394\u03b7\u03bc\u03ae\u03c4\u03c1\u03b7\u03c2 \u03a0\u03b1\u03c0\u03b1\u03c2"),
              QStringLiteral("\u041e\u043b\u044c\u0433\u0430 \u0421\u043c\u0438\u0440\u043d\u043e\u0432\u0430"),
              QStringLiteral("Klaus Becker"), QStringLiteral("Sabine Sch\u00e4fer"), QStringLiteral("Peter Schmidt"),
              QStringLiteral("Monika Hoffmann"), QStringLiteral("Uwe Koch"), QStringLiteral("Petra Richter"),
              QStringLiteral("Stefan Klein"), QStringLiteral("Andrea Wolf"), QStringLiteral("Thomas Neumann"),
              QStringLiteral("Karin Schwarz"), QStringLiteral("Michael Zimmermann"), QStringLiteral("Ute Braun"),
              QStringLiteral("Frank Kr\u00fcger"), QStringLiteral("Gabi Hofmann"), QStringLiteral("Dieter Hartmann") };
    QVector<Turnierbau::Spieler> liste;
    for (int i = 0; i < namen.size(); ++i) {
        const int leer = namen.at(i).indexOf(QLatin1Char(' '));
        Turnierbau::Spieler s { namen.at(i).left(leer), namen.at(i).mid(leer + 1), QStringLiteral("Herren") };
        s.preisskat = (i == 0 || i == 2 || i == 5) ? QStringLiteral("Ja") : QStringLiteral("Nein");
        s.startNr = 100 + i;
        liste << s;
    }
    return liste;
}

// Seats the players in the given order: tables of four from table 3 first,
// then tables of three.
inline void setzen(QSqlDatabase db, int serie, const QVector<int>& nummern)
{
    const int n = nummern.size();
    const int dreier = (4 - n % 4) % 4;
    const int vierer = (n - 3 * dreier) / 4;
    QVector<QVector<int>> sitze;
    for (int i = 0; i < n; ++i) {
        if (i < vierer * 4)
            sitze << QVector<int> { nummern.at(i), 3 + i / 4, i % 4 + 1 };
        else
            sitze << QVector<int> { nummern.at(i), 3 + vierer + (i - vierer * 4) / 3, (i - vierer * 4) % 3 + 1 };
    }
    Turnierbau::sitze(db, serie, sitze);
}

// Builds the day in the window's HOME; returns the group's database.
inline QSqlDatabase anlegen(Fenster& w)
{
    w->form()->cmbSpielerGruppe->setCurrentText(QStringLiteral("Herren"));
    QSqlDatabase db = w.gruppe(spieler(), 4, 3);
    if (!db.isValid())
        return db;
    QVector<int> alle;
    for (int nr = 100; nr < 122; ++nr)
        alle << nr;
    setzen(db, 1, alle);

    NachmeldeListe neu;
    neu.insert(spaeterNr, NachmeldeSpieler { false, true, spaeter });
    if (!Teilnehmerpflege::nachmelden(db, neu).ok)
        return {};

    QVector<int> rueckwaerts { spaeterNr };
    for (int nr = 121; nr >= 100; --nr)
        rueckwaerts << nr;
    setzen(db, 2, rueckwaerts);

    if (!Teilnehmerpflege::aktivSetzen(db, 3, inaktivNr, false))
        return {};
    QVector<int> dritte;
    for (int nr = 100; nr <= spaeterNr; ++nr)
        if (nr != inaktivNr)
            dritte << nr;
    setzen(db, 3, dritte);

    // Totals 1000 - 30k for start number 100 + k; 105 and 106 share 850;
    // 121 ends negative; the late registrant has 500 from series 2 alone.
    for (int k = 0; k < 22; ++k) {
        const int nr = 100 + k;
        int zwei = 10 * k;
        if (nr == 106)
            zwei = 90;
        if (nr == 121)
            zwei = -700;
        Turnierbau::sql(db, QStringLiteral("UPDATE Serie1 SET Punkte=%1 WHERE StartNr=%2").arg(1000 - 40 * k).arg(nr));
        Turnierbau::sql(db, QStringLiteral("UPDATE Serie2 SET Punkte=%1 WHERE StartNr=%2").arg(zwei).arg(nr));
    }
    Turnierbau::sql(db, QStringLiteral("UPDATE Serie2 SET Punkte=500 WHERE StartNr=%1").arg(spaeterNr));
    return db;
}

// The text of a PDF as poppler reads it, one entry per page.
inline QStringList seiten(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
        { QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-") });
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QStringList s = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!s.isEmpty() && s.last().trimmed().isEmpty())
        s.removeLast();
    return s;
}

// The text of a PDF in the order it was painted, without any white space:
// a name set on two lines reads as one again.
inline QString ohneLeerraum(const QString& text)
{
    QString t = text;
    t.remove(QRegularExpression(QStringLiteral("\\s+")));
    return t;
}

inline QString gemalt(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
        { QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-") });
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return ohneLeerraum(QString::fromUtf8(p.readAllStandardOutput()));
}

// Lines that hold nothing but a number: the game rows of a sheet.
inline QList<int> nurZahlZeilen(const QString& seite)
{
    QList<int> zahlen;
    static const QRegularExpression zahl(QStringLiteral("^\\s*(\\d+)\\s*$"));
    const QStringList zeilen = seite.split(QLatin1Char('\n'));
    for (const QString& z : zeilen) {
        const QRegularExpressionMatch m = zahl.match(z);
        if (m.hasMatch())
            zahlen << m.captured(1).toInt();
    }
    return zahlen;
}

// The line of a page that contains the text (empty when none does).
inline QString zeileMit(const QString& seite, const QString& text)
{
    const QStringList zeilen = seite.split(QLatin1Char('\n'));
    for (const QString& z : zeilen)
        if (z.contains(text))
            return z;
    return {};
}

} // namespace Druckspieltag
