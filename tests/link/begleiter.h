#pragma once
// A companion of the tests' own: a TCP socket on loopback that speaks the
// link's frames, with bounded waits that keep the program's event loop going.

#include <QElapsedTimer>
#include <QHostAddress>
#include <QStringList>
#include <QTcpSocket>
#include <QtEndian>
#include <QtTest>

class Begleiter
{
public:
    // Connects (optionally from a given local loopback address), sends the
    // name and waits for the program's name. False when that fails.
    bool anmelden(
        quint16 port, const QString& name = QStringLiteral("Listenbote"), const QHostAddress& lokal = QHostAddress())
    {
        if (!lokal.isNull() && !socket.bind(lokal))
            return false;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (!warte([this] { return socket.state() == QAbstractSocket::ConnectedState; }))
            return false;
        senden(name);
        // Only the answer is taken; what follows it stays for the test.
        if (!warte([this] { return !m_empfangen.isEmpty(); }))
            return false;
        return m_empfangen.takeFirst() == QLatin1String("Reizwerk");
    }

    static QByteArray frame(const QByteArray& daten)
    {
        QByteArray f(4, Qt::Uninitialized);
        qToBigEndian<quint32>(quint32(daten.size()), f.data());
        return f + daten;
    }

    void senden(const QString& text) { roh(frame(text.toUtf8())); }
    void roh(const QByteArray& daten)
    {
        socket.write(daten);
        socket.flush();
    }

    // Waits until at least n frames are there (at most ms) and takes them all.
    QStringList frames(int n, int ms = 5000)
    {
        warte([this, n] { return m_empfangen.size() >= n; }, ms);
        const QStringList alle = m_empfangen;
        m_empfangen.clear();
        return alle;
    }

    // Takes every frame up to and including the first one that starts with
    // `anfang`; empty when it does not come.
    QStringList bis(const QString& anfang, int ms = 5000)
    {
        return bisZutrifft([&anfang](const QString& f) { return f.startsWith(anfang); }, ms);
    }

    // Takes every frame up to and including the first one that contains
    // `teil`; empty when it does not come.
    QStringList bisMit(const QString& teil, int ms = 5000)
    {
        return bisZutrifft([&teil](const QString& f) { return f.contains(teil); }, ms);
    }

    template<typename Pruefung> QStringList bisZutrifft(Pruefung passt, int ms)
    {
        auto gefunden = [this, &passt] {
            for (const QString& f : qAsConst(m_empfangen))
                if (passt(f))
                    return true;
            return false;
        };
        if (!warte(gefunden, ms))
            return {};
        QStringList davor;
        while (!m_empfangen.isEmpty()) {
            const QString f = m_empfangen.takeFirst();
            davor << f;
            if (passt(f))
                break;
        }
        return davor;
    }

    bool getrennt(int ms = 5000)
    {
        return warte([this] { return socket.state() == QAbstractSocket::UnconnectedState; }, ms);
    }

    template<typename F> bool warte(F bedingung, int ms = 5000)
    {
        QElapsedTimer uhr;
        uhr.start();
        while (true) {
            abholen();
            if (bedingung())
                return true;
            if (uhr.elapsed() > ms)
                return false;
            QTest::qWait(2);
        }
    }

    QTcpSocket socket;

private:
    void abholen()
    {
        m_puffer += socket.readAll();
        while (m_puffer.size() >= 4) {
            const quint32 n = qFromBigEndian<quint32>(m_puffer.constData());
            if (quint32(m_puffer.size()) < n + 4)
                break;
            m_empfangen << QString::fromUtf8(m_puffer.mid(4, int(n)));
            m_puffer.remove(0, int(n) + 4);
        }
    }

    QByteArray m_puffer;
    QStringList m_empfangen;
};
