#include "web/tischapp.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSaveFile>

#include <algorithm>

#include "setup/teilnehmertabelle.h"
#include "storage/plattform.h"
#include "storage/spieltagleser.h"

static void seiteLaden()
{
    // The page's files live in the static core library; its resources must
    // be registered by name before they are read.
    Q_INIT_RESOURCE(seite);
}

namespace Web
{

namespace
{

constexpr int geheimLaenge = 32;

QByteArray json(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

Antwort jsonAntwort(const QJsonObject& o)
{
    Antwort a;
    a.inhalt = json(o);
    return a;
}

Antwort fehlerAntwort(const Fehler& f)
{
    return Server::fehlerAntwort(f.status, f.text);
}

// A page for a browser that opened an address it may not see.
Antwort fehlerSeite(const Fehler& f)
{
    Antwort a;
    a.status = f.status;
    a.typ = "text/html; charset=utf-8";
    a.inhalt = QByteArrayLiteral("<!DOCTYPE html><html lang=\"de\"><head><meta charset=\"utf-8\">"
                                 "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                                 "<link rel=\"stylesheet\" href=\"/seite/stil.css\"><title>Reizwerk</title></head>"
                                 "<body><main><p class=\"meldung fehler\">")
        + f.text.toHtmlEscaped().toUtf8() + QByteArrayLiteral("</p></main></body></html>");
    return a;
}

bool ganzeZahl(const QJsonValue& v, int& aus)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (d != double(qint64(d)) || d < -1e9 || d > 1e9)
        return false;
    aus = int(d);
    return true;
}

std::optional<int> zahlParameter(const Anfrage& a, const QString& name, int von, int bis)
{
    bool ok = false;
    const int n = a.parameter.value(name).toInt(&ok, 10);
    if (!ok || n < von || n > bis)
        return std::nullopt;
    return n;
}

} // namespace

// --- tokens ---

bool Schluessel::laden(const QString& turnierVerzeichnis, bool erzeugen)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_geheim.clear();
    if (turnierVerzeichnis.isEmpty() || !QDir(turnierVerzeichnis).exists())
        return false;
    const QString pfad = QDir(turnierVerzeichnis).filePath(dateiName);
    QFile f(pfad);
    if (f.open(QIODevice::ReadOnly)) {
        const QByteArray hex = f.read(4 * geheimLaenge).trimmed();
        const QByteArray roh = QByteArray::fromHex(hex);
        if (roh.size() == geheimLaenge) {
            m_geheim = roh;
            return true;
        }
    }
    if (!erzeugen)
        return false;
    // A new secret: 256 random bits from the system's source.
    QByteArray neu(geheimLaenge, Qt::Uninitialized);
    for (int i = 0; i < geheimLaenge; i += 4) {
        const quint32 z = QRandomGenerator::system()->generate();
        memcpy(neu.data() + i, &z, 4);
    }
    QSaveFile s(pfad);
    // Private before the first byte is written, not after the commit.
    if (!s.open(QIODevice::WriteOnly) || !Plattform::nurFuerBesitzer(s))
        return false;
    s.write(neu.toHex() + '\n');
    if (!s.commit())
        return false;
    m_geheim = neu;
    return true;
}

void Schluessel::vergessen()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_geheim.clear();
}

bool Schluessel::geladen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_geheim.isEmpty();
}

QString Schluessel::token(const QString& gruppe, int serie, int tisch) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_geheim.isEmpty())
        return {};
    const QByteArray text = QStringLiteral("%1|%2|%3").arg(gruppe).arg(serie).arg(tisch).toUtf8();
    // 144 of the 256 bits: short enough for a small QR code, far beyond guessing.
    return QString::fromLatin1(QMessageAuthenticationCode::hash(text, m_geheim, QCryptographicHash::Sha256)
                                   .left(18)
                                   .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool Schluessel::pruefen(const QString& gruppe, int serie, int tisch, const QString& token) const
{
    const QByteArray soll = this->token(gruppe, serie, tisch).toLatin1();
    const QByteArray ist = token.toLatin1();
    if (soll.isEmpty() || soll.size() != ist.size())
        return false;
    // Compared in constant time, so response times do not give it away.
    unsigned char unterschied = 0;
    for (int i = 0; i < soll.size(); ++i)
        unterschied |= static_cast<unsigned char>(soll.at(i) ^ ist.at(i));
    return unterschied == 0;
}

// --- reading a list ---

std::optional<QVector<GesendetesSpiel>> listeLesen(const QByteArray& koerper, int maxSpiele, Fehler& f)
{
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(koerper, &pe);
    if (pe.error != QJsonParseError::NoError || !doc.isObject()) {
        f = { 400, QStringLiteral("Die gesendete Liste ist nicht lesbar (kein gültiges JSON).") };
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (it.key() != QLatin1String("spiele")) {
            f = { 400, QStringLiteral("Unbekanntes Feld \"%1\" in der Liste.").arg(it.key().left(40)) };
            return std::nullopt;
        }
    }
    if (!o.value(QStringLiteral("spiele")).isArray()) {
        f = { 400, QStringLiteral("Die Liste enthält keine Spiele.") };
        return std::nullopt;
    }
    const QJsonArray a = o.value(QStringLiteral("spiele")).toArray();
    if (a.size() > maxSpiele) {
        f = { 422, QStringLiteral("Die Liste hat %1 Spiele, erlaubt sind höchstens %2.").arg(a.size()).arg(maxSpiele) };
        return std::nullopt;
    }
    QVector<GesendetesSpiel> spiele;
    spiele.reserve(a.size());
    for (int i = 0; i < a.size(); ++i) {
        const int nr = i + 1;
        if (!a.at(i).isObject()) {
            f = { 400, QStringLiteral("Spiel %1 ist nicht lesbar.").arg(nr) };
            return std::nullopt;
        }
        const QJsonObject s = a.at(i).toObject();
        for (auto it = s.begin(); it != s.end(); ++it) {
            const QString k = it.key();
            if (k != QLatin1String("spieler") && k != QLatin1String("wert") && k != QLatin1String("gewonnen")
                && k != QLatin1String("eingepasst")) {
                f = { 400, QStringLiteral("Unbekanntes Feld \"%1\" in Spiel %2.").arg(k.left(40)).arg(nr) };
                return std::nullopt;
            }
        }
        GesendetesSpiel g;
        if (s.contains(QStringLiteral("eingepasst"))) {
            if (s.size() != 1 || s.value(QStringLiteral("eingepasst")) != QJsonValue(true)) {
                f = { 400, QStringLiteral("Spiel %1: ein eingepasstes Spiel hat keine weiteren Angaben.").arg(nr) };
                return std::nullopt;
            }
            spiele << g;
            continue;
        }
        if (s.size() != 3 || !ganzeZahl(s.value(QStringLiteral("spieler")), g.startNr)
            || !ganzeZahl(s.value(QStringLiteral("wert")), g.wert) || !s.value(QStringLiteral("gewonnen")).isBool()) {
            f = { 400, QStringLiteral("Spiel %1 braucht Alleinspieler, Spielwert und gewonnen/verloren.").arg(nr) };
            return std::nullopt;
        }
        g.gewonnen = s.value(QStringLiteral("gewonnen")).toBool();
        if (!Spielliste::wertMoeglich(g.wert)) {
            f = { 422, QStringLiteral("Spiel %1: %2 ist kein möglicher Spielwert.").arg(nr).arg(g.wert) };
            return std::nullopt;
        }
        if (g.startNr <= 0) {
            f = { 422, QStringLiteral("Spiel %1: der Alleinspieler sitzt nicht an diesem Tisch.").arg(nr) };
            return std::nullopt;
        }
        spiele << g;
    }
    return spiele;
}

std::optional<QVector<Spielliste::Spiel>> aufTischAbbilden(
    const Tisch& t, const QVector<GesendetesSpiel>& spiele, Fehler& f)
{
    if (spiele.size() > t.maxSpiele) {
        f = { 422,
            QStringLiteral("Die Liste hat %1 Spiele, an diesem Tisch sind höchstens %2 vorgesehen.")
                .arg(spiele.size())
                .arg(t.maxSpiele) };
        return std::nullopt;
    }
    const bool gespielt
        = std::any_of(spiele.cbegin(), spiele.cend(), [](const GesendetesSpiel& g) { return g.startNr != 0; });
    if (!gespielt) {
        f = { 422,
            QStringLiteral("Die Liste enthält kein gespieltes Spiel und wird nicht gespeichert. Hat der Tisch "
                           "wirklich nicht gespielt, trägt die Turnierleitung das im Programm ein.") };
        return std::nullopt;
    }
    QVector<Spielliste::Spiel> aus;
    aus.reserve(spiele.size());
    for (int i = 0; i < spiele.size(); ++i) {
        const GesendetesSpiel& g = spiele.at(i);
        Spielliste::Spiel s;
        s.wert = g.wert;
        s.gewonnen = g.gewonnen;
        if (g.startNr != 0) {
            for (int p = 0; p < t.sitze.size(); ++p)
                if (t.sitze.at(p).startNr == g.startNr)
                    s.spieler = p;
            if (s.spieler < 0) {
                f = { 422,
                    QStringLiteral("Spiel %1: Startnummer %2 sitzt nicht an diesem Tisch.").arg(i + 1).arg(g.startNr) };
                return std::nullopt;
            }
        }
        if (!Spielliste::spielGueltig(s, t.sitze.size())) {
            f = { 422, QStringLiteral("Spiel %1 ist nicht möglich.").arg(i + 1) };
            return std::nullopt;
        }
        aus << s;
    }
    return aus;
}

QStringList ergebnisZeilen(const Tisch& t, const QVector<Spielliste::Ergebnis>& e)
{
    QStringList zeilen;
    for (int i = 0; i < e.size() && i < t.sitze.size(); ++i) {
        const Spielliste::Ergebnis& x = e.at(i);
        zeilen << QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                      .arg(t.nummer)
                      .arg(i + 1)
                      .arg(t.serie)
                      .arg(x.punkte)
                      .arg(x.gewonnen)
                      .arg(x.verloren)
                      .arg(Zahl::euro(x.kosten))
                      .arg(x.platz)
                      .arg(t.sitze.at(i).startNr);
    }
    return zeilen;
}

QString listenDateiName(const QString& gruppe, int serie, int tisch)
{
    QString g;
    for (const QChar c : gruppe)
        g += (c.isLetterOrNumber() || c == QLatin1Char('-')) ? c : QLatin1Char('_');
    return QStringLiteral("%1_Serie%2_Tisch%3.txt").arg(g.left(60)).arg(serie).arg(tisch);
}

// --- the routes ---

TischApp::TischApp(Zugang& zugang, Schluessel& schluessel)
    : m_zugang(zugang)
    , m_schluessel(schluessel)
{
    seiteLaden();
}

Antwort TischApp::datei(const QString& pfad, const QByteArray& typ)
{
    // Only files compiled into the program, by fixed names; nothing from disk.
    static const QHash<QString, QByteArray> inhalt = [] {
        QHash<QString, QByteArray> h;
        const QStringList namen = QDir(QStringLiteral(":/seite")).entryList(QDir::Files);
        for (const QString& n : namen) {
            QFile f(QStringLiteral(":/seite/") + n);
            if (f.open(QIODevice::ReadOnly))
                h.insert(n, f.readAll());
        }
        return h;
    }();
    const auto it = inhalt.constFind(pfad);
    if (it == inhalt.constEnd())
        return fehlerAntwort({ 404, QStringLiteral("Diese Seite gibt es nicht.") });
    Antwort a;
    a.typ = typ;
    a.inhalt = *it;
    a.zwischenspeichern = !typ.startsWith("text/html");
    return a;
}

std::optional<Fehler> TischApp::zugangPruefen(const Anfrage& a, QString& gruppe, int& serie, int& tisch)
{
    gruppe = a.parameter.value(QStringLiteral("g"));
    // Every table a stored group can have; the token decides the rest.
    const auto s = zahlParameter(a, QStringLiteral("s"), 1, Spieltag::maxSerien);
    const auto t = zahlParameter(a, QStringLiteral("t"), 1, Spieltag::maxTischNummer);
    if (gruppe.isEmpty() || gruppe.size() > 100 || !s || !t
        || !m_schluessel.pruefen(gruppe, *s, *t, a.parameter.value(QStringLiteral("k"))))
        return Fehler { 403,
            QStringLiteral("Diese Adresse ist nicht gültig. Bitte den QR-Code des Tisches neu scannen.") };
    serie = *s;
    tisch = *t;
    return std::nullopt;
}

Antwort TischApp::beantworten(const Anfrage& a)
{
    const QString& p = a.pfad;
    const bool get = a.methode == QLatin1String("GET");
    const bool post = a.methode == QLatin1String("POST");

    if (get && (p == QLatin1String("/") || p == QLatin1String("/anzeige")))
        return datei(QStringLiteral("anzeige.html"), "text/html; charset=utf-8");
    if (get && p.startsWith(QLatin1String("/seite/"))) {
        const QString name = p.mid(7);
        if (name.endsWith(QLatin1String(".js")))
            return datei(name, "text/javascript; charset=utf-8");
        if (name.endsWith(QLatin1String(".css")))
            return datei(name, "text/css; charset=utf-8");
        if (name.endsWith(QLatin1String(".svg")))
            return datei(name, "image/svg+xml");
        return fehlerAntwort({ 404, QStringLiteral("Diese Seite gibt es nicht.") });
    }
    if (get && p == QLatin1String("/api/anzeige")) {
        Fehler f { 503, QStringLiteral("Das Programm antwortet gerade nicht. Bitte gleich noch einmal versuchen.") };
        const auto o = m_zugang.anzeige(f);
        if (!o)
            return fehlerAntwort(f);
        Antwort antwort;
        antwort.inhalt = *o;
        return antwort;
    }

    QString gruppe;
    int serie = 0;
    int tisch = 0;
    if (get && p == QLatin1String("/tisch")) {
        if (const auto f = zugangPruefen(a, gruppe, serie, tisch))
            return fehlerSeite(*f);
        return datei(QStringLiteral("tisch.html"), "text/html; charset=utf-8");
    }
    if ((get && p == QLatin1String("/api/tisch")) || (post && p == QLatin1String("/api/liste"))) {
        if (const auto f = zugangPruefen(a, gruppe, serie, tisch))
            return fehlerAntwort(*f);
        Fehler f { 503, QStringLiteral("Das Programm antwortet gerade nicht. Bitte gleich noch einmal versuchen.") };
        if (get) {
            const auto o = m_zugang.tischDaten(gruppe, serie, tisch, f);
            return o ? jsonAntwort(*o) : fehlerAntwort(f);
        }
        const auto spiele = listeLesen(a.koerper, hoechstensSpiele, f);
        if (!spiele)
            return fehlerAntwort(f);
        f = { 503, QStringLiteral("Das Programm antwortet gerade nicht. Die Liste wird erneut gesendet.") };
        const auto o = m_zugang.listeSpeichern(gruppe, serie, tisch, *spiele, f);
        return o ? jsonAntwort(*o) : fehlerAntwort(f);
    }
    if (!get && !post)
        return fehlerAntwort({ 405, QStringLiteral("Diese Anfrage wird nicht angenommen.") });
    return fehlerAntwort({ 404, QStringLiteral("Diese Seite gibt es nicht.") });
}

} // namespace Web
