#include "testumgebung.h"

#include <QFile>
#include <QProcess>
#include <QStandardItemModel>
#include <QSysInfo>

#include "app/mainwindow.h"
#include "storage/datensperre.h"

class TstSperre : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void zweitesProgrammWirdAbgewiesen()
    {
        Fenster w;
        QVERIFY(w->laeuft());
        const QString sperre = Testumgebung::datenOrdner() + QStringLiteral("/reizwerk.lock");
        QVERIFY(QFile::exists(sperre));
        {
            SkriptDialoge d;
            MainWindow zweites;
            QVERIFY(!zweites.laeuft());
            QCOMPARE(d.fehlerTexte.size(), 1);
            QVERIFY(d.fehlerTexte.first().startsWith(QStringLiteral("Reizwerk laeuft bereits mit dem Datenordner")));
            // It opened nothing: no database, no link.
            QVERIFY(zweites.link() == nullptr);
            QVERIFY(zweites.spieler() == nullptr);
        }
        // The refused window did not take the first one's lock away.
        QVERIFY(QFile::exists(sperre));

        // Another data folder in the same process is no conflict.
        const QString erstes = Testumgebung::zuhause();
        Testumgebung::frischesZuhause();
        {
            Fenster anderes;
            QVERIFY(anderes->laeuft());
            QVERIFY(anderes.d.fehlerTexte.isEmpty());
        }
        Q_UNUSED(erstes)
    }

    void sperreEndetMitDemFenster()
    {
        Fenster w;
        w.gruppe(3, 2);
        w.neuStarten();
        QVERIFY(w->laeuft());
        QVERIFY(w.d.fehlerTexte.isEmpty());
        QCOMPARE(w->teilnehmer()->rowCount(), 3);
    }

    void verwaisteSperreWirdUebernommen()
    {
        // A lock left by a program that crashed: its process is gone.
        QProcess kurz;
        kurz.start(QStringLiteral("true"), QStringList());
        QVERIFY(kurz.waitForFinished(5000));
        const qint64 tot = kurz.processId() > 0 ? kurz.processId() : 999999;
        QVERIFY(QDir().mkpath(Testumgebung::datenOrdner()));
        const QString sperre = Testumgebung::datenOrdner() + QStringLiteral("/reizwerk.lock");
        {
            QFile f(sperre);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QStringLiteral("%1\nreizwerk\n%2\n").arg(tot).arg(QSysInfo::machineHostName()).toUtf8());
        }
        Fenster w;
        QVERIFY(w->laeuft());
        QVERIFY(w.d.fehlerTexte.isEmpty());
        QVERIFY(Testumgebung::dateiInhalt(sperre).startsWith(QByteArray::number(QCoreApplication::applicationPid())));

        // A lock of a living process is respected, however old it is.
        Datensperre andere(Testumgebung::datenOrdner());
        QCOMPARE(andere.nehmen(), Datensperre::Ergebnis::BelegtVonAnderem);
        QCOMPARE(andere.halter(), QCoreApplication::applicationPid());
    }
};

REIZWERK_TEST(TstSperre)
#include "tst_sperre.moc"
