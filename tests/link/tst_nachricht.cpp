#include "testumgebung.h"

#include <QHostAddress>
#include <QRandomGenerator>

#include "link/nachricht.h"
#include "zufall.h"

namespace
{

bool gleich(const Nachricht& a, const Nachricht& b)
{
    return a.code == b.code && a.adresse == b.adresse && a.liste == b.liste && a.felder == b.felder;
}

} // namespace

class TstNachricht : public QObject
{
    Q_OBJECT
private slots:
    void lesenUndSchreiben()
    {
        Nachricht m = Nachricht::lesen(QStringLiteral("5:192.168.1.20:x$7@2"));
        QCOMPARE(m.code, 5);
        QCOMPARE(m.adresse, QStringLiteral("192.168.1.20"));
        QCOMPARE(m.liste, QStringLiteral("x"));
        QCOMPARE(m.felder, QStringList({ QStringLiteral("7"), QStringLiteral("2") }));
        QCOMPARE(m.text(), QStringLiteral("5:192.168.1.20:x$7@2"));

        // Empty parts are kept: a body of two separators has three fields.
        m = Nachricht::lesen(QStringLiteral("16:a:l$@@"));
        QCOMPARE(m.felder, QStringList({ QString(), QString(), QString() }));
        // An empty body is one empty field.
        QCOMPARE(Nachricht::lesen(QStringLiteral("4:a:l$")).felder, QStringList { QString() });

        Nachricht leer;
        leer.code = 4;
        leer.adresse = QStringLiteral("1.2.3.4");
        leer.liste = QStringLiteral("AlleSpieler");
        QCOMPARE(leer.text(), QStringLiteral("4:1.2.3.4:AlleSpieler$"));

        // Foreign text is written as it is, placeholders included.
        Nachricht p;
        p.code = 15;
        p.adresse = QStringLiteral("%1");
        p.liste = QStringLiteral("%2");
        p.felder = QStringList { QStringLiteral("%3") };
        QCOMPARE(p.text(), QStringLiteral("15:%1:%2$%3"));

        // Code 17 cuts at the first "@" only; without one the body is both.
        m = Nachricht::lesen(QStringLiteral("17:a:l$name.txt@ab@c=="));
        QCOMPARE(m.felder, QStringList({ QStringLiteral("name.txt"), QStringLiteral("ab@c==") }));
        m = Nachricht::lesen(QStringLiteral("17:a:l$ganz"));
        QCOMPARE(m.felder, QStringList({ QStringLiteral("ganz"), QStringLiteral("ganz") }));

        // Malformed headers give code 0.
        QCOMPARE(Nachricht::lesen(QStringLiteral("5:a:b$1$2")).code, 0);
        QCOMPARE(Nachricht::lesen(QStringLiteral("5:a:b")).code, 0);
        QCOMPARE(Nachricht::lesen(QStringLiteral("5:fe80::1:x$7@2")).code, 0);
        QCOMPARE(Nachricht::lesen(QStringLiteral("5:a$7@2")).code, 0);
        QCOMPARE(Nachricht::lesen(QStringLiteral("fuenf:a:b$7@2")).code, 0);
        QCOMPARE(Nachricht::lesen(QString()).code, 0);
    }

    void nickLesen()
    {
        Nick n = Nick::lesen(QStringLiteral("Listenbote@127.0.0.1:50123"));
        QCOMPARE(n.name, QStringLiteral("Listenbote"));
        QCOMPARE(n.adresse, QStringLiteral("127.0.0.1"));
        // The address is the first piece that is one.
        n = Nick::lesen(QStringLiteral("Listenbote@tisch7:10.0.0.5:1"));
        QCOMPARE(n.adresse, QStringLiteral("10.0.0.5"));
        for (const char* falsch : { "Listenbote", "Listenbote@", "a@b@1.2.3.4", "Listenbote@tisch:port", "" }) {
            n = Nick::lesen(QString::fromLatin1(falsch));
            QVERIFY2(n.name.isEmpty() && n.adresse.isEmpty(), falsch);
        }
    }

    // Whatever arrives, reading never fails, and what it reads writes back
    // to a text that reads the same.
    void zufallsTexte()
    {
        QRandomGenerator r(4711);
        const QStringList vorlagen { QStringLiteral("5:192.168.1.20:x$7@2"),
            QStringLiteral("7:10.0.0.2:Alle$a|b|1|23|c|d|4.5|e|100@a|b|2|7|c|d|1|e|101"),
            QStringLiteral("16:10.0.0.2:l$liste.txt@zeile1@zeile2"),
            QStringLiteral("17:10.0.0.2:l$liste.bin@eJwLSS0uAQAEXQHB"), QStringLiteral("Listenbote@127.0.0.1:4000") };
        int gelesen = 0;
        for (int i = 0; i < 20000; ++i) {
            const QString t = i % 2 ? zufallsText(r, 60) : mutiert(r, vorlagen.at(r.bounded(vorlagen.size())));
            const Nachricht m = Nachricht::lesen(t);
            if (m.code != 0) {
                ++gelesen;
                QVERIFY2(!m.felder.isEmpty(), qPrintable(t));
                QVERIFY2(gleich(Nachricht::lesen(m.text()), m), qPrintable(t));
            }
            const Nick n = Nick::lesen(t);
            if (!n.adresse.isEmpty()) {
                QVERIFY2(!QHostAddress(n.adresse).isNull(), qPrintable(t));
                QCOMPARE(t.count(QLatin1Char('@')), 1);
            }
            QVERIFY(n.name.isEmpty() || !n.adresse.isEmpty());
        }
        // The mutations must still reach the reader's deeper paths.
        QVERIFY(gelesen > 1000);
    }
};

REIZWERK_TEST(TstNachricht)
#include "tst_nachricht.moc"
