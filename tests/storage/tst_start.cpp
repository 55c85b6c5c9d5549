#include "testumgebung.h"

#include "app/mainwindow.h"

class TstStart : public QObject {
    Q_OBJECT
private slots:
    void ersterStart()
    {
        auto w = fensterStarten();
        QVERIFY(w);
        fensterBeenden(w);
    }
};

REIZWERK_TEST(TstStart)
#include "tst_start.moc"
