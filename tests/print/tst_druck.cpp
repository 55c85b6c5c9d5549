#include "testumgebung.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "druckspieltag.h"
#include "mitglieder/mitgliederliste.h"
#include "print/dokumente.h"
#include "scoring/regeln.h"
#include "storage/datenbank.h"
#include "storage/spieltagleser.h"

using namespace Druckspieltag;

namespace
{

QString adresse(const QString& gruppe, int serie, int tisch)
{
    // Table 8 has no page in the table app: it gets no code.
    return tisch == 8 ? QString()
                      : QStringLiteral("http://127.0.0.1:8080/t/%1/%2/%3?k=x7").arg(gruppe).arg(serie).arg(tisch);
}

int position(const QString& text, const QString& teil)
{
    return text.indexOf(teil);
}

} // namespace

class TstDruck : public QObject
{
    Q_OBJECT

    QString pdf(const Druck::Dokument& d, const QString& name)
    {
        const QString datei = Testumgebung::zuhause() + QLatin1Char('/') + name;
        QString fehler;
        if (!Druck::pdfSchreiben(d, datei, &fehler))
            qWarning("%s", qPrintable(fehler));
        return datei;
    }

private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void tischlisteUndSpiellisten()
    {
        Fenster w;
        QSqlDatabase db = anlegen(w);
        QVERIFY(db.isValid());
        Spieltag::Gruppe g;
        QString fehler;
        QVERIFY2(Spieltag::gruppeLesen(db, g, &fehler), qPrintable(fehler));
        QCOMPARE(g.name, QStringLiteral("Herren"));
        QCOMPARE(g.teilnehmer.size(), 23);

        // Series 2: 23 players at five tables of four and table 8 of three.
        const Druck::Dokument liste = Druck::tischliste(g, 2);
        QCOMPARE(liste.dateiVorschlag,
            QStringLiteral("Herren_%1_Tischliste_S2.pdf").arg(g.datum.toString(QStringLiteral("yyyy-MM-dd"))));
        QStringList s = seiten(pdf(liste, QStringLiteral("tisch2.pdf")));
        QCOMPARE(s.size(), 2);
        QVERIFY(s[0].contains(QStringLiteral("Tischliste Serie 2")));
        for (int t = 3; t <= 7; ++t)
            QVERIFY(position(s[0], QStringLiteral("Tisch %1").arg(t))
                < position(s[0], QStringLiteral("Tisch %1").arg(t + 1)));
        QCOMPARE(s[0].count(QStringLiteral("3er-Tisch")), 1);
        QVERIFY(zeileMit(s[0], QStringLiteral("Tisch 8")).contains(QStringLiteral("3er-Tisch")));
        // Table 3: the late registrant on seat 1, then 121, 120, 119.
        QVERIFY(s[0].contains(spaeter));
        QVERIFY(zeileMit(s[0], spaeter).contains(QRegularExpression(QStringLiteral("\\b1\\s+122\\s+") + spaeter)));
        QVERIFY(position(s[0], spaeter) < position(s[0], QStringLiteral("Dieter Hartmann")));
        QVERIFY(position(s[0], QStringLiteral("Dieter Hartmann")) < position(s[0], QStringLiteral("Gabi Hofmann")));
        // Names print intact, the long one too.
        for (const Turnierbau::Spieler& sp : spieler())
            QVERIFY2(s[0].contains(sp.vorname + QLatin1Char(' ') + sp.nachname), qPrintable(sp.nachname));
        QVERIFY(s[0].contains(langerName));
        QVERIFY(!s[0].contains(QStringLiteral("Spielen nicht")));

        // "Wer sitzt wo" on its own page, by surname: Becker, Braun, ...
        QVERIFY(s[1].contains(QStringLiteral("Wer sitzt wo")));
        QVERIFY(!s[1].contains(QStringLiteral("Tisch 3 ")));
        const QStringList reihe = { QStringLiteral("Klaus Becker"), QStringLiteral("Ute Braun"),
            QStringLiteral("Dieter Hartmann"), QStringLiteral("Monika Hoffmann"), QStringLiteral("Gabi Hofmann"),
            QStringLiteral("Frank Kr\u00fcger"), QStringLiteral("J\u00fcrgen M\u00fcller"),
            QStringLiteral("Ren\u00e9e O'Brien"), QStringLiteral("Sabine Sch\u00e4fer") };
        for (int i = 0; i + 1 < reihe.size(); ++i)
            QVERIFY2(position(s[1], reihe[i]) < position(s[1], reihe[i + 1]), qPrintable(reihe[i]));
        QVERIFY(s[1].contains(QStringLiteral("Schwarzenberg-Wei\u00dfe")));
        QVERIFY(gemalt(pdf(liste, QStringLiteral("tisch2.pdf"))).contains(ohneLeerraum(langerName)));
        // Müller (100) sits at table 8, seat 3 in series 2.
        QVERIFY(zeileMit(s[1], QStringLiteral("J\u00fcrgen M\u00fcller"))
                    .contains(QRegularExpression(QStringLiteral("M\u00fcller\\s+100\\s+8\\s+3"))));

        // Series 3: the inactive player does not play; series 1: the late
        // registrant did not.
        s = seiten(pdf(Druck::tischliste(g, 3), QStringLiteral("tisch3.pdf")));
        QVERIFY(!s.isEmpty());
        QVERIFY(zeileMit(s[0], QStringLiteral("Monika Hoffmann")).contains(QStringLiteral("110")));
        QVERIFY(position(s[0], QStringLiteral("Spielen nicht")) < position(s[0], QStringLiteral("Monika Hoffmann")));
        QVERIFY(zeileMit(s.last(), QStringLiteral("Monika Hoffmann")).contains(QStringLiteral("spielt nicht")));
        s = seiten(pdf(Druck::tischliste(g, 1), QStringLiteral("tisch1.pdf")));
        QVERIFY(zeileMit(s.last(), spaeter).contains(QStringLiteral("spielt nicht")));
        QVERIFY(!zeileMit(s.last(), QStringLiteral("Monika Hoffmann")).contains(QStringLiteral("spielt nicht")));

        // Series 4 has no draw: one page that says so, no empty tables.
        Druck::Dokument leer = Druck::tischliste(g, 4);
        QVERIFY(!leer.hinweis.isEmpty());
        s = seiten(pdf(leer, QStringLiteral("tisch4.pdf")));
        QCOMPARE(s.size(), 1);
        QVERIFY(s[0].contains(QStringLiteral("Serie 4 ist noch nicht ausgelost")));
        QVERIFY(!s[0].contains(QStringLiteral("Tisch 3")));
        leer = Druck::spiellisten(g, 4, Regeln::Regelwerte());
        QCOMPARE(seiten(pdf(leer, QStringLiteral("listen4.pdf"))).size(), 1);
        QVERIFY(!leer.hinweis.isEmpty());

        // Game-list sheets: one page per table, 48 rows at four, 36 at three.
        QSettings& einstellungen = *w->settings();
        s = seiten(pdf(Druck::spiellisten(g, 2, Regeln::werteLesen(einstellungen)), QStringLiteral("l2.pdf")));
        QCOMPARE(s.size(), 6);
        QList<int> eins;
        for (int i = 1; i <= 48; ++i)
            eins << i;
        for (int t = 0; t < 5; ++t) {
            QVERIFY(s[t].contains(QStringLiteral("Tisch %1").arg(3 + t)));
            QCOMPARE(nurZahlZeilen(s[t]), eins);
            QVERIFY(s[t].contains(QStringLiteral("Seite %1 von 6").arg(t + 1)));
        }
        QCOMPARE(nurZahlZeilen(s[5]), eins.mid(0, 36));
        QVERIFY(s[5].contains(QStringLiteral("3er-Tisch, 36 Spiele")));
        // The players of table 3 in seat order, and nobody else.
        const QString kopf = zeileMit(s[0], spaeter);
        QVERIFY(kopf.indexOf(spaeter) < kopf.indexOf(QStringLiteral("Dieter Hartmann")));
        QVERIFY(kopf.indexOf(QStringLiteral("Dieter Hartmann")) < kopf.indexOf(QStringLiteral("Gabi Hofmann")));
        QVERIFY(!s[0].contains(QStringLiteral("J\u00fcrgen M\u00fcller")));
        QVERIFY(s[5].contains(QStringLiteral("J\u00fcrgen M\u00fcller")));
        // The rules' numbers: defaults, 4-player and 3-player values.
        QVERIFY(s[0].contains(QStringLiteral("Spielliste")));
        QVERIFY(s[0].contains(QStringLiteral("\u00d7 50 Punkte")));
        QVERIFY(s[0].contains(QStringLiteral("Gegenspieler \u00d7 30 Punkte")));
        QVERIFY(s[5].contains(QStringLiteral("Gegenspieler \u00d7 40 Punkte")));
        QVERIFY(s[0].contains(QStringLiteral("ab 6 \u00d7 2,50 \u20ac")));
        QVERIFY(s[0].contains(QStringLiteral("0,00 / 1,50 / 2,50 / 3,50 \u20ac")));
        QVERIFY(s[5].contains(QStringLiteral("0,00 / 1,50 / 2,50 \u20ac")));
        QCOMPARE(s[0].count(QStringLiteral("Unterschrift")), 4);

        // A changed rule reaches the sheet.
        QVERIFY(Regeln::speichern(einstellungen, 7, QStringLiteral("3,0")));
        QVERIFY(Regeln::speichern(einstellungen, 11, QStringLiteral("35")));
        QVERIFY(Regeln::speichern(einstellungen, 12, QStringLiteral("Herbstliga")));
        s = seiten(pdf(Druck::spiellisten(g, 2, Regeln::werteLesen(einstellungen)), QStringLiteral("l2b.pdf")));
        QVERIFY(s[0].contains(QStringLiteral("ab 6 \u00d7 3,00 \u20ac")));
        QVERIFY(s[0].contains(QStringLiteral("Gegenspieler \u00d7 35 Punkte")));
        QVERIFY(!s[0].contains(QStringLiteral("\u00d7 30 Punkte")));
        QVERIFY(s[0].contains(QStringLiteral("Herbstliga")));

        // QR codes: the address under the code of every table that has one.
        const Druck::Dokument mitQr = Druck::tischliste(g, 2, adresse);
        QCOMPARE(mitQr.seiten[0].qrCodes.size(), 5);
        s = seiten(pdf(mitQr, QStringLiteral("qr.pdf")));
        for (int t = 3; t <= 7; ++t)
            QVERIFY(s[0].contains(QStringLiteral("http://127.0.0.1:8080/t/Herren/2/%1?k=x7").arg(t)));
        QVERIFY(!s[0].contains(QStringLiteral("/2/8?")));
        // Beside a code the long name takes two lines.
        QVERIFY(gemalt(pdf(mitQr, QStringLiteral("qr.pdf"))).contains(ohneLeerraum(langerName)));
        const Druck::Dokument blattQr = Druck::spiellisten(g, 3, Regeln::Regelwerte(), adresse);
        s = seiten(pdf(blattQr, QStringLiteral("qrl.pdf")));
        QCOMPARE(s.size(), 6);
        QVERIFY(s[0].contains(QStringLiteral("http://127.0.0.1:8080/t/Herren/3/3?k=x7")));
        QCOMPARE(blattQr.seiten[5].qrCodes.size(), 0);
        QCOMPARE(nurZahlZeilen(s[0]), eins);
        // Without addresses there are no codes.
        QCOMPARE(Druck::spiellisten(g, 3, Regeln::Regelwerte()).seiten[0].qrCodes.size(), 0);

        // A group of a thousand players from table 1 ends at table 250; its
        // documents can still be read and printed.
        Turnierbau::sql(db, QStringLiteral("UPDATE Gruppe SET LetzterTisch=250"));
        QVERIFY2(Spieltag::gruppeLesen(db, g, &fehler), qPrintable(fehler));
        // A last table below the first means no tables; only what the
        // program never writes is refused.
        Turnierbau::sql(db, QStringLiteral("UPDATE Gruppe SET LetzterTisch=2"));
        QVERIFY2(Spieltag::gruppeLesen(db, g, &fehler), qPrintable(fehler));
        Turnierbau::sql(db, QStringLiteral("UPDATE Gruppe SET LetzterTisch=-1"));
        QVERIFY(!Spieltag::gruppeLesen(db, g, &fehler));
    }

    // Made inactive after the draw: she keeps her seat on paper, marked, and
    // her table keeps its size; only who has no seat is listed as not playing.
    void inaktivNachDerAuslosung()
    {
        Fenster w;
        QSqlDatabase db = anlegen(w);
        QVERIFY(db.isValid());
        // In series 2 Müller (100) sits at table 8 of three, Dieter Hartmann
        // (121) at table 3 of four.
        QVERIFY(Teilnehmerpflege::aktivSetzen(db, 2, 100, false));
        QVERIFY(Teilnehmerpflege::aktivSetzen(db, 2, 121, false));
        Spieltag::Gruppe g;
        QString fehler;
        QVERIFY2(Spieltag::gruppeLesen(db, g, &fehler), qPrintable(fehler));
        QVERIFY(Spieltag::nichtSpielend(g, 2).isEmpty());
        QCOMPARE(Spieltag::tisch(g, 2, 8).sitze.size(), 3);

        const QString mueller = QStringLiteral("J\u00fcrgen M\u00fcller");
        QStringList s = seiten(pdf(Druck::tischliste(g, 2), QStringLiteral("inaktiv.pdf")));
        QCOMPARE(s.size(), 2);
        QVERIFY(!s[0].contains(QStringLiteral("Spielen nicht")));
        QVERIFY(zeileMit(s[0], QStringLiteral("Tisch 8")).contains(QStringLiteral("3er-Tisch")));
        QCOMPARE(s[0].count(QStringLiteral("3er-Tisch")), 1);
        QVERIFY(zeileMit(s[0], mueller)
                    .contains(QRegularExpression(
                        QStringLiteral("\\b3\\s+100\\s+") + mueller + QStringLiteral("\\s+\\(inaktiv\\)"))));
        QVERIFY(zeileMit(s[0], QStringLiteral("Dieter Hartmann")).contains(QStringLiteral("(inaktiv)")));
        QCOMPARE(s[0].count(QStringLiteral("(inaktiv)")), 2);
        QVERIFY(zeileMit(s[1], mueller).contains(QRegularExpression(QStringLiteral("100\\s+8\\s+3"))));
        QVERIFY(!s[1].contains(QStringLiteral("spielt nicht")));

        // The sheets: table 3 still of four with 48 games, table 8 of three.
        const QString blaetter = pdf(Druck::spiellisten(g, 2, Regeln::Regelwerte()), QStringLiteral("inaktivl.pdf"));
        s = seiten(blaetter);
        QCOMPARE(s.size(), 6);
        QCOMPARE(nurZahlZeilen(s[0]).size(), 48);
        QVERIFY(s[0].contains(QStringLiteral("Dieter Hartmann")));
        QCOMPARE(nurZahlZeilen(s[5]).size(), 36);
        QVERIFY(s[5].contains(QStringLiteral("3er-Tisch, 36 Spiele")));
        QVERIFY(s[5].contains(mueller));
        const QString gemalt = Druckspieltag::gemalt(blaetter);
        QVERIFY(gemalt.contains(ohneLeerraum(QStringLiteral("Dieter Hartmann (inaktiv)"))));
        QVERIFY(gemalt.contains(ohneLeerraum(mueller + QStringLiteral(" (inaktiv)"))));

        // Seated in series 3 without a table and active again: not playing,
        // without a seat; in a series not drawn nobody is listed.
        QVERIFY(Teilnehmerpflege::aktivSetzen(db, 3, inaktivNr, true));
        QVERIFY2(Spieltag::gruppeLesen(db, g, &fehler), qPrintable(fehler));
        const QVector<const Spieltag::Teilnehmer*> aus = Spieltag::nichtSpielend(g, 3);
        QCOMPARE(aus.size(), 1);
        QCOMPARE(aus.at(0)->startNr, inaktivNr);
        s = seiten(pdf(Druck::tischliste(g, 3), QStringLiteral("inaktiv3.pdf")));
        QVERIFY(position(s[0], QStringLiteral("Spielen nicht")) < position(s[0], QStringLiteral("Monika Hoffmann")));
        QVERIFY(zeileMit(s.last(), QStringLiteral("Monika Hoffmann")).contains(QStringLiteral("ohne Platz")));
        QVERIFY(Spieltag::nichtSpielend(g, 4).isEmpty());
    }

    void ergebnisliste()
    {
        Fenster w;
        QSqlDatabase db = anlegen(w);
        QVERIFY(db.isValid());
        Spieltag::Gruppe g;
        QVERIFY(Spieltag::gruppeLesen(db, g));
        const Druck::Dokument d = Druck::ergebnisliste(g, Regeln::werteLesen(*w->settings()));
        QCOMPARE(d.ausrichtung, QPageLayout::Portrait);
        const QStringList s = seiten(pdf(d, QStringLiteral("ergebnis.pdf")));
        QCOMPARE(s.size(), 1);
        const QString& t = s[0];
        QVERIFY(t.contains(QStringLiteral("Ergebnisliste Herren")));
        // Played series only: 3 is drawn but has no results, 4 is not drawn.
        const QString kopf = zeileMit(t, QStringLiteral("Platz"));
        QVERIFY(kopf.contains(QStringLiteral("Serie 1")));
        QVERIFY(kopf.contains(QStringLiteral("Serie 2")));
        QVERIFY(!t.contains(QStringLiteral("Serie 3")));
        QVERIFY(!t.contains(QStringLiteral("Serie 4")));

        // Places: 105 and 106 share place 6, the next is 8.
        auto platz = [&](const QString& name) { return zeileMit(t, name).trimmed().section(QLatin1Char(' '), 0, 0); };
        QCOMPARE(platz(QStringLiteral("J\u00fcrgen M\u00fcller")), QStringLiteral("1"));
        QCOMPARE(platz(QStringLiteral("Heinz-G\u00fcnther Wei\u00df")), QStringLiteral("2"));
        QCOMPARE(platz(QStringLiteral("\u0394\u03b7\u03bc\u03ae\u03c4\u03c1\u03b7\u03c2")), QStringLiteral("6"));
        QCOMPARE(platz(QStringLiteral("\u041e\u043b\u044c\u0433\u0430")), QStringLiteral("6"));
        QCOMPARE(platz(QStringLiteral("Klaus Becker")), QStringLiteral("8"));
        QCOMPARE(platz(QStringLiteral("Dieter Hartmann")), QStringLiteral("23"));
        QVERIFY(position(t, QStringLiteral("Klaus Becker")) < position(t, QStringLiteral("Dieter Hartmann")));
        // The numbers of a row: series 1, series 2, total, prize skat.
        QVERIFY(zeileMit(t, QStringLiteral("J\u00fcrgen M\u00fcller"))
                    .contains(QRegularExpression(
                        QStringLiteral("100\\s+J\u00fcrgen M\u00fcller\\s+1000\\s+0\\s+1000\\s+ja"))));
        QVERIFY(zeileMit(t, QStringLiteral("Dieter Hartmann"))
                    .contains(QRegularExpression(QStringLiteral("160\\s+-700\\s+-540\\s*$"))));
        // The late registrant has no result in series 1, not a 0.
        QVERIFY(zeileMit(t, spaeter).contains(QRegularExpression(QStringLiteral("\u2013\\s+500\\s+500"))));
        QVERIFY(t.contains(langerName));
        QVERIFY(t.contains(QStringLiteral("Preisskat: 3 Teilnehmer \u00d7 10,00 \u20ac = 30,00 \u20ac")));
        QVERIFY(t.contains(QStringLiteral("Seite 1 von 1")));
    }

    void ergebnislisteGaesteUndMitgliedsdaten()
    {
        Fenster w;
        QSqlDatabase db = anlegen(w);
        QVERIFY(db.isValid());
        // The late registrant came as a guest.
        Turnierbau::sql(db, QStringLiteral("UPDATE Teilnehmer SET Mitglied=0 WHERE StartNr=%1").arg(spaeterNr));
        Spieltag::Gruppe g;
        QVERIFY(Spieltag::gruppeLesen(db, g));
        QSqlDatabase haupt = w->registry().hauptDatenbank();
        QVERIFY(Mitgliederliste::tabelleAnlegen(haupt));
        for (const QVariantList& zeile : { QVariantList { 100, QStringLiteral("4711"), QStringLiteral("SC Grand") },
                 QVariantList { 101, QStringLiteral(""), QStringLiteral("Skatfreunde Nord") },
                 QVariantList { spaeterNr, QStringLiteral(" "), QStringLiteral("") } })
            QVERIFY(Db::ausfuehren(haupt,
                QStringLiteral("INSERT INTO Mitgliedsdaten (StartNr, MitgliedsNr, Verein) VALUES (?, ?, ?)"), zeile));
        const QString mueller = QStringLiteral("J\u00fcrgen M\u00fcller");
        const QString weiss = QStringLiteral("Heinz-G\u00fcnther Wei\u00df");

        // Off unless asked for: the notice stays as it was, and the member
        // data is not even read.
        const Regeln::Regelwerte regeln = Regeln::werteLesen(*w->settings());
        Druck::Namenszusatz r = Druck::Namenszusatz::aus(*w->settings(), haupt);
        QVERIFY(!r.gaesteKennzeichnen && !r.mitgliedsdaten && r.mitgliedsangaben.isEmpty());
        QString t = seiten(pdf(Druck::ergebnisliste(g, regeln, r), QStringLiteral("ohne.pdf"))).value(0);
        QVERIFY(!t.contains(QStringLiteral("Gast")));
        QVERIFY(!t.contains(QStringLiteral("SC Grand")));
        QVERIFY(zeileMit(t, mueller)
                    .contains(QRegularExpression(QStringLiteral("100\\s+") + mueller + QStringLiteral("\\s+1000"))));

        w->settings()->setValue(Druck::schluesselGaesteKennzeichnen, true);
        r = Druck::Namenszusatz::aus(*w->settings(), haupt);
        t = seiten(pdf(Druck::ergebnisliste(g, regeln, r), QStringLiteral("gaeste.pdf"))).value(0);
        QCOMPARE(t.count(QStringLiteral("(Gast)")), 1);
        QVERIFY(zeileMit(t, spaeter).contains(spaeter + QStringLiteral(" (Gast)")));
        QVERIFY(!t.contains(QStringLiteral("SC Grand")));

        w->settings()->setValue(Druck::schluesselMitgliedsdaten, true);
        r = Druck::Namenszusatz::aus(*w->settings(), haupt);
        // Blank fields are left out; a row with nothing in it adds nothing.
        QCOMPARE(r.mitgliedsangaben,
            (QHash<int, QString> {
                { 100, QStringLiteral("4711, SC Grand") }, { 101, QStringLiteral("Skatfreunde Nord") } }));
        t = seiten(pdf(Druck::ergebnisliste(g, regeln, r), QStringLiteral("beides.pdf"))).value(0);
        QVERIFY2(zeileMit(t, mueller)
                     .contains(QRegularExpression(
                         QStringLiteral("100\\s+") + mueller + QStringLiteral(" \u2013 4711, SC Grand\\s+1000"))),
            qPrintable(zeileMit(t, mueller)));
        QVERIFY(zeileMit(t, weiss).contains(weiss + QStringLiteral(" \u2013 Skatfreunde Nord")));
        QVERIFY(zeileMit(t, spaeter).contains(spaeter + QStringLiteral(" (Gast)")));
        // No member data for the guest: his row goes on with his results.
        QVERIFY(zeileMit(t, spaeter)
                    .contains(QRegularExpression(QRegularExpression::escape(spaeter + QStringLiteral(" (Gast)"))
                        + QStringLiteral("\\s+\u2013\\s+500\\s+500"))));
        QVERIFY(!zeileMit(t, QStringLiteral("Klaus Becker")).contains(QStringLiteral("Gast")));

        // Member data asked for where no member list was ever imported.
        QVERIFY(Db::ausfuehren(haupt, QStringLiteral("DROP TABLE Mitgliedsdaten")));
        QVERIFY(Druck::Namenszusatz::aus(*w->settings(), haupt).mitgliedsangaben.isEmpty());
    }

    // Many participants and series: landscape, header on every page, places
    // across page breaks.
    void langeErgebnisliste()
    {
        Spieltag::Gruppe g;
        g.name = QStringLiteral("Damen");
        g.datum = QDate(2026, 12, 6);
        g.serien = 12;
        for (int i = 0; i < 130; ++i) {
            Spieltag::Teilnehmer t;
            t.startNr = 100 + i;
            t.name = QStringLiteral("Spielerin %1").arg(i, 3, 10, QLatin1Char('0'));
            t.serien.resize(12);
            for (int s = 0; s < 12; ++s)
                t.serien[s].punkte = (s < 11) ? 1000 - i : 0; // series 12 not played
            g.teilnehmer << t;
        }
        const Druck::Dokument d = Druck::ergebnisliste(g, Regeln::Regelwerte());
        QCOMPARE(d.ausrichtung, QPageLayout::Landscape);
        const QStringList s = seiten(pdf(d, QStringLiteral("lang.pdf")));
        QVERIFY(s.size() >= 4);
        QCOMPARE(s.size(), d.seiten.size());
        QString alles;
        for (int i = 0; i < s.size(); ++i) {
            QVERIFY(zeileMit(s[i], QStringLiteral("Platz")).contains(QStringLiteral("Serie 11")));
            QVERIFY(s[i].contains(QStringLiteral("Ergebnisliste Damen \u2013 06.12.2026")));
            QVERIFY(s[i].contains(QStringLiteral("Seite %1 von %2").arg(i + 1).arg(s.size())));
            QVERIFY(!s[i].contains(QStringLiteral("Serie 12")));
            alles += s[i];
        }
        for (int i = 0; i < 130; ++i) {
            const QString name = QStringLiteral("Spielerin %1").arg(i, 3, 10, QLatin1Char('0'));
            QCOMPARE(alles.count(name), 1);
            QVERIFY(zeileMit(alles, name).trimmed().startsWith(QStringLiteral("%1 ").arg(i + 1)));
        }
        // Page breaks keep the order: the first name of a page follows the
        // last of the one before.
        QVERIFY(position(s[1], QStringLiteral("Spielerin")) >= 0);
        QVERIFY(s[0].contains(QStringLiteral("Spielerin 000")));
        QVERIFY(!s[1].contains(QStringLiteral("Spielerin 000")));

        // Two series fit upright.
        g.serien = 2;
        for (Spieltag::Teilnehmer& t : g.teilnehmer)
            t.serien.resize(2);
        QCOMPARE(Druck::ergebnisliste(g, Regeln::Regelwerte()).ausrichtung, QPageLayout::Portrait);
    }

    // Five players (a table of three with an empty seat) and lists longer
    // than a sheet holds.
    void besondereListen()
    {
        Spieltag::Gruppe g;
        g.name = QStringLiteral("Jugend");
        g.datum = QDate(2026, 12, 6);
        g.serien = 1;
        g.spiele4er = 100;
        for (int i = 0; i < 9; ++i) {
            Spieltag::Teilnehmer t;
            t.startNr = 100 + i;
            t.name = QStringLiteral("Kind %1").arg(i);
            t.serien.resize(1);
            // Table 1: four players; table 2: three; table 3: two of three.
            t.serien[0].tisch = i < 4 ? 1 : (i < 7 ? 2 : 3);
            t.serien[0].platz = i < 4 ? i + 1 : (i < 7 ? i - 3 : i - 6);
            g.teilnehmer << t;
        }
        const QStringList s = seiten(pdf(Druck::spiellisten(g, 1, Regeln::Regelwerte()), QStringLiteral("b.pdf")));
        QCOMPARE(s.size(), 4);
        // 100 games do not fit one sheet: rows go on, the totals come last.
        QList<int> bis100;
        for (int i = 1; i <= 100; ++i)
            bis100 << i;
        QCOMPARE(nurZahlZeilen(s[0]) + nurZahlZeilen(s[1]), bis100);
        QVERIFY(!s[0].contains(QStringLiteral("Abrechnung")));
        QVERIFY(s[1].contains(QStringLiteral("Fortsetzung")));
        QVERIFY(s[1].contains(QStringLiteral("Tisch 1")));
        QVERIFY(s[1].contains(QStringLiteral("Abrechnung")));
        // The table of two plays a 3-player list.
        QVERIFY(s[3].contains(QStringLiteral("3er-Tisch, 36 Spiele")));
        QCOMPARE(nurZahlZeilen(s[3]).size(), 36);
        QVERIFY(s[3].contains(QStringLiteral("Gegenspieler \u00d7 40 Punkte")));
        const QStringList liste = seiten(pdf(Druck::tischliste(g, 1), QStringLiteral("b2.pdf")));
        QCOMPARE(liste[0].count(QStringLiteral("3er-Tisch")), 2);
    }

    // Names of 40 characters print whole, at 7 pt or more, on every document;
    // the game-list sheets keep one page per table.
    void langeNamenGanz()
    {
        const QStringList namen = { QStringLiteral("Maximilian-Alexander Sch\u00f6nberg-Wittgenst"),
            QStringLiteral("Hubertus Wolfeschlegelsteinhausenbergerd"),
            QStringLiteral("Anna-Katharina-Luisa Schwarzenberg-Wei\u00dfe"),
            QStringLiteral("Mmmmmmmmmmmmmmmmmmmm WWWWWWWWWWWWWWWWWWW"), QStringLiteral("Zo\u00eb \u00d6zt\u00fcrk"),
            QStringLiteral("Bartholom\u00e4us-Friedrich von Hohenzollern"), QStringLiteral("Ute Kurz"),
            QStringLiteral("Gottfried-Wilhelm Leibniz-Oberndorfer"),
            QStringLiteral("Wilhelmine Zimmermann-Wei\u00df") };
        for (const QString& n : namen)
            QVERIFY2(n.size() <= 40, qPrintable(n));
        Spieltag::Gruppe g;
        g.name = QStringLiteral("Herren");
        g.datum = QDate(2026, 12, 6);
        g.serien = 12;
        for (int i = 0; i < namen.size(); ++i) {
            Spieltag::Teilnehmer t;
            t.startNr = 100 + i;
            t.name = namen.at(i);
            t.serien.resize(12);
            for (int s = 0; s < 12; ++s)
                t.serien[s].punkte = 1000 - 10 * i + s;
            // Table 1: four, table 2: four, the last one sits out.
            t.serien[0].tisch = i < 4 ? 1 : 2;
            t.serien[0].platz = i % 4 + 1;
            t.serien[0].aktiv = i < 8;
            if (i == 8)
                t.serien[0].tisch = -1;
            g.teilnehmer << t;
        }
        QStringList unterschriften;
        for (const QString& n : namen)
            unterschriften << QStringLiteral("Unterschrift ") + n;

        // Every text that is a piece of a name or of a signature caption is
        // set at 7 pt or more; nothing is cut short.
        auto pruefen = [&](const Druck::Dokument& d, const QStringList& ganz, const QString& datei) -> QString {
            for (const Druck::Seite& seite : d.seiten)
                for (const Druck::Seite::Text& t : seite.texte) {
                    if (t.text.contains(QChar(0x2026)))
                        return datei + QStringLiteral(" gek\u00fcrzt: ") + t.text;
                    const QString teil = ohneLeerraum(t.text);
                    for (const QString& n : ganz)
                        if (teil.size() >= 3 && ohneLeerraum(n).contains(teil) && t.schrift.groesse < 7.0)
                            return QStringLiteral("%1: %2 in %3 pt").arg(datei, t.text).arg(t.schrift.groesse);
                }
            const QString text = gemalt(pdf(d, datei));
            for (const QString& n : ganz)
                if (!text.contains(ohneLeerraum(n)))
                    return datei + QStringLiteral(" fehlt: ") + n;
            return QString();
        };
        QString fehler;

        const Druck::Dokument liste = Druck::tischliste(g, 1, adresse);
        fehler = pruefen(liste, namen, QStringLiteral("lang-tisch.pdf"));
        QVERIFY2(fehler.isEmpty(), qPrintable(fehler));

        const Druck::Dokument blaetter = Druck::spiellisten(g, 1, Regeln::Regelwerte(), adresse);
        fehler = pruefen(blaetter, namen.mid(0, 8) + unterschriften.mid(0, 8), QStringLiteral("lang-listen.pdf"));
        QVERIFY2(fehler.isEmpty(), qPrintable(fehler));
        // Each name three times on its sheet: column head, "Abrechnung" head,
        // signature; and all 48 rows on the one page.
        const QStringList s = seiten(pdf(blaetter, QStringLiteral("lang-listen.pdf")));
        QCOMPARE(s.size(), 2);
        QList<int> eins;
        for (int i = 1; i <= 48; ++i)
            eins << i;
        for (const QString& seite : s) {
            QCOMPARE(nurZahlZeilen(seite), eins);
            QVERIFY(seite.contains(QStringLiteral("Abrechnung")));
            QCOMPARE(seite.count(QStringLiteral("Unterschrift")), 4);
        }
        const QString erstes = gemalt(pdf(blaetter, QStringLiteral("lang-listen.pdf")));
        QCOMPARE(erstes.count(ohneLeerraum(namen.at(1))), 3);

        fehler = pruefen(Druck::ergebnisliste(g, Regeln::Regelwerte()), namen, QStringLiteral("lang-ergebnis.pdf"));
        QVERIFY2(fehler.isEmpty(), qPrintable(fehler));
        // Thirty players, the table set smaller for twelve series: the names
        // keep 7 pt.
        for (int i = 0; i < 21; ++i) {
            Spieltag::Teilnehmer t = g.teilnehmer.at(i % namen.size());
            t.startNr = 200 + i;
            g.teilnehmer << t;
        }
        fehler = pruefen(Druck::ergebnisliste(g, Regeln::Regelwerte()), namen, QStringLiteral("lang-ergebnis2.pdf"));
        QVERIFY2(fehler.isEmpty(), qPrintable(fehler));

        QVector<Rangliste::Platz> rang;
        for (int i = 0; i < namen.size(); ++i)
            rang.append({ namen.at(i), 2000 - i });
        fehler = pruefen(Druck::rangliste(rang, QDate(2026, 1, 1), QDate(2026, 12, 31), QStringLiteral("Saison")),
            namen, QStringLiteral("lang-rang.pdf"));
        QVERIFY2(fehler.isEmpty(), qPrintable(fehler));
    }

    void rangliste()
    {
        const QVector<Rangliste::Platz> liste
            = { { QStringLiteral("B\u00e4r"), 1950 }, { QStringLiteral("Zander"), 1950 },
                  { QStringLiteral("\u0141ukasz"), 300 }, { QStringLiteral("Xaver"), -5 } };
        const Druck::Dokument d
            = Druck::rangliste(liste, QDate(2026, 1, 1), QDate(2026, 12, 31), QStringLiteral("Saison"));
        QCOMPARE(d.dateiVorschlag, QStringLiteral("Rangliste_2026-01-01_2026-12-31.pdf"));
        const QStringList s = seiten(pdf(d, QStringLiteral("rang.pdf")));
        QCOMPARE(s.size(), 1);
        QVERIFY(s[0].contains(QStringLiteral("Rangliste 01.01.2026 bis 31.12.2026")));
        QVERIFY(s[0].contains(QStringLiteral("Saison")));
        QVERIFY(zeileMit(s[0], QStringLiteral("Zander"))
                    .contains(QRegularExpression(QStringLiteral("^\\s*1\\s+Zander\\s+1950"))));
        QVERIFY(
            zeileMit(s[0], QStringLiteral("\u0141ukasz")).contains(QRegularExpression(QStringLiteral("^\\s*3\\s"))));
        QVERIFY(zeileMit(s[0], QStringLiteral("Xaver"))
                    .contains(QRegularExpression(QStringLiteral("^\\s*4\\s+Xaver\\s+-5"))));
        QVERIFY(position(s[0], QStringLiteral("Zander")) < position(s[0], QStringLiteral("\u0141ukasz")));
        // No match day in range: the page says so.
        const QStringList leer = seiten(
            pdf(Druck::rangliste({}, QDate(2026, 1, 1), QDate(2025, 1, 1), QString()), QStringLiteral("leer.pdf")));
        QCOMPARE(leer.size(), 1);
        QVERIFY(leer[0].contains(QStringLiteral("kein Spieltag")));
    }

    // A PDF that cannot be written names the file; nothing half-written
    // remains, and an existing file stays as it was.
    void schreibfehler()
    {
        const QString ordner = Testumgebung::zuhause();
        Druck::Dokument d = Druck::rangliste({ { QStringLiteral("A"), 1 } }, QDate(2026, 1, 1), QDate(2026, 2, 1), {});
        QFile blockiert(ordner + QStringLiteral("/kein_ordner"));
        QVERIFY(blockiert.open(QIODevice::WriteOnly));
        blockiert.close();
        const QString ziel = ordner + QStringLiteral("/kein_ordner/liste.pdf");
        QString fehler;
        QVERIFY(!Druck::pdfSchreiben(d, ziel, &fehler));
        QVERIFY2(fehler.contains(ziel), qPrintable(fehler));
        QVERIFY(!QFile::exists(ziel));

        // The target is taken by a folder: the write fails late, and no
        // temporary file is left beside it.
        QVERIFY(QDir(ordner).mkdir(QStringLiteral("ziel.pdf")));
        const QStringList vorher = QDir(ordner).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        fehler.clear();
        QVERIFY(!Druck::pdfSchreiben(d, ordner + QStringLiteral("/ziel.pdf"), &fehler));
        QVERIFY2(fehler.contains(QStringLiteral("ziel.pdf")), qPrintable(fehler));
        QCOMPARE(QDir(ordner).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), vorher);
        QVERIFY(QFileInfo(ordner + QStringLiteral("/ziel.pdf")).isDir());

        // A good write replaces an existing file completely.
        const QString alt = ordner + QStringLiteral("/alt.pdf");
        QFile f(alt);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(200000, 'x'));
        f.close();
        QVERIFY(Druck::pdfSchreiben(d, alt));
        const QByteArray neu = Testumgebung::dateiInhalt(alt);
        QVERIFY(neu.startsWith("%PDF"));
        QVERIFY(!neu.contains("xxxx"));
    }
};

REIZWERK_TEST(TstDruck)
#include "tst_druck.moc"
