#pragma once
// Small HTTP helpers for the table app's tests: requests over loopback that
// wait with the event loop running, so the window can answer them.

#include <QByteArray>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

struct HttpAntwort {
    int status = 0; // 0: no answer
    QByteArray inhalt;
    QByteArray typ;
};

inline HttpAntwort http(
    const QString& methode, const QString& adresse, const QByteArray& koerper = {}, int zeitMs = 15000)
{
    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest r { QUrl(adresse) };
    r.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    QNetworkReply* antwort
        = methode == QLatin1String("POST") ? nam.post(r, koerper) : nam.sendCustomRequest(r, methode.toLatin1());
    QEventLoop schleife;
    QTimer uhr;
    uhr.setSingleShot(true);
    QObject::connect(&uhr, &QTimer::timeout, &schleife, &QEventLoop::quit);
    QObject::connect(antwort, &QNetworkReply::finished, &schleife, &QEventLoop::quit);
    uhr.start(zeitMs);
    if (!antwort->isFinished())
        schleife.exec();
    HttpAntwort a;
    if (antwort->isFinished()) {
        a.status = antwort->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        a.inhalt = antwort->readAll();
        a.typ = antwort->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    } else {
        antwort->abort();
    }
    delete antwort;
    return a;
}
