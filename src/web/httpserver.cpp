#include "web/serverkern.h"

#include <QHostAddress>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <httplib.h>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace Web
{

namespace
{

using Uhr = std::chrono::steady_clock;

QString fehlerTextFuer(int status)
{
    switch (status) {
    case 400:
        return QStringLiteral("Die Anfrage ist nicht lesbar.");
    case 403:
        return QStringLiteral("Die Tisch-App ist nur im Netz des Spiellokals erreichbar.");
    case 404:
        return QStringLiteral("Diese Seite gibt es nicht.");
    case 408:
        return QStringLiteral("Die Anfrage kam zu langsam an.");
    case 413:
        return QStringLiteral("Die gesendeten Daten sind zu groß (höchstens 64 KiB).");
    case 414:
        return QStringLiteral("Die Adresse ist zu lang.");
    case 431:
        return QStringLiteral("Die Anfrage hat zu viele oder zu lange Kopfzeilen.");
    case 503:
        return QStringLiteral("Das Programm ist gerade ausgelastet. Bitte gleich noch einmal versuchen.");
    default:
        return QStringLiteral("Die Anfrage wurde abgelehnt (Fehler %1).").arg(status);
    }
}

// A complete answer for a connection that is refused before the library
// reads a request from it; it is closed afterwards.
std::string rohAntwort(Antwort (*fehlerAntwort)(int, const QString&), int status)
{
    const char* grund = status == 403 ? "Forbidden"
        : status == 408               ? "Request Timeout"
        : status == 431               ? "Request Header Fields Too Large"
                                      : "Service Unavailable";
    const QByteArray inhalt = fehlerAntwort(status, fehlerTextFuer(status)).inhalt;
    std::string a = "HTTP/1.1 " + std::to_string(status) + ' ' + grund
        + "\r\nContent-Type: application/json; charset=utf-8\r\nCache-Control: no-store\r\n"
          "X-Content-Type-Options: nosniff\r\nConnection: close\r\nContent-Length: "
        + std::to_string(inhalt.size()) + "\r\n\r\n";
    a.append(inhalt.constData(), size_t(inhalt.size()));
    return a;
}

QHostAddress adresseVon(const sockaddr_storage& a)
{
    QHostAddress h(reinterpret_cast<const sockaddr*>(&a));
    // A dual-stack socket shows IPv4 peers as ::ffff:a.b.c.d; one device,
    // one key.
    bool v4 = false;
    const quint32 ip4 = h.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4) : h;
}

int restMs(Uhr::time_point bis)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(bis - Uhr::now()).count();
    return ms <= 0 ? 0 : int(std::min<long long>(ms, 60000));
}

bool warten(int fd, short ereignis, int ms)
{
    pollfd p { fd, ereignis, 0 };
    for (;;) {
        const int n = ::poll(&p, 1, ms);
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0;
    }
}

// One connection as the library reads and writes it. Every wait is bounded
// by the time limit of a single read or write and by the connection's whole
// life; the request head is read here first, bounded in lines, bytes and
// time, before the library sees a byte of it, so no client can make the
// library collect headers without end.
class Strom : public httplib::Stream
{
public:
    enum class Kopf { Da, Zu, ZuGross, ZuLangsam };

    Strom(int fd, const std::string& ip, int port, const Grenzen& g, std::function<bool()> gebraucht)
        : m_fd(fd)
        , m_ip(ip)
        , m_port(port)
        , m_g(g)
        , m_ende(Uhr::now() + std::chrono::seconds(g.hoechstDauerSek))
        , m_gebraucht(std::move(gebraucht))
    {
    }

    bool is_readable() const override { return m_pos < m_puffer.size() || warten(m_fd, POLLIN, frist()); }
    bool is_writable() const override { return warten(m_fd, POLLOUT, frist()); }

    ssize_t read(char* ziel, size_t n) override
    {
        if (m_pos < m_puffer.size()) {
            const size_t k = std::min(n, m_puffer.size() - m_pos);
            memcpy(ziel, m_puffer.data() + m_pos, k);
            m_pos += k;
            return ssize_t(k);
        }
        if (!warten(m_fd, POLLIN, frist()))
            return -1;
        return empfangen(ziel, n);
    }

    ssize_t write(const char* daten, size_t n) override
    {
        if (!warten(m_fd, POLLOUT, frist()))
            return -1;
        for (;;) {
            const ssize_t k = ::send(m_fd, daten, n, MSG_NOSIGNAL);
            if (k < 0 && errno == EINTR)
                continue;
            return k;
        }
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override
    {
        ip = m_ip;
        port = m_port;
    }

    void get_local_ip_and_port(std::string& ip, int& port) const override
    {
        sockaddr_storage a {};
        socklen_t n = sizeof(a);
        if (getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &n) == 0) {
            const QHostAddress h(reinterpret_cast<const sockaddr*>(&a));
            ip = h.toString().toStdString();
            port = a.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&a)->sin6_port)
                                           : ntohs(reinterpret_cast<sockaddr_in*>(&a)->sin_port);
        }
    }

    socket_t socket() const override { return m_fd; }

    // Waits for the next request (as long as a kept-alive connection may
    // idle) and reads its head into the buffer.
    Kopf kopfLesen()
    {
        m_puffer.erase(0, m_pos);
        m_pos = 0;
        if (m_puffer.empty() && !naechsteAbwarten())
            return Kopf::Zu;
        ++m_anfragen;
        const auto bis = std::min(m_ende, Uhr::now() + std::chrono::seconds(m_g.kopfFristSek));
        size_t gesucht = 0;
        int zeilen = 0;
        for (;;) {
            // Count what arrived since the last look: every line ends in LF,
            // the head in an empty line.
            for (; gesucht < m_puffer.size(); ++gesucht) {
                if (m_puffer[gesucht] != '\n')
                    continue;
                ++zeilen;
                const bool leer = (gesucht >= 1 && m_puffer[gesucht - 1] == '\n')
                    || (gesucht >= 2 && m_puffer[gesucht - 1] == '\r' && m_puffer[gesucht - 2] == '\n');
                if (leer && zeilen > 1) {
                    // The request line, the headers, the empty line.
                    return zeilen - 2 > m_g.kopfZeilen ? Kopf::ZuGross : Kopf::Da;
                }
                if (zeilen - 1 > m_g.kopfZeilen)
                    return Kopf::ZuGross;
            }
            if (m_puffer.size() >= size_t(m_g.kopfBytes))
                return Kopf::ZuGross;
            const int ms = std::min(restMs(bis), m_g.zeitLimitSek * 1000);
            if (ms <= 0)
                return Kopf::ZuLangsam;
            if (!warten(m_fd, POLLIN, ms))
                return restMs(bis) <= 0 ? Kopf::ZuLangsam : Kopf::Zu;
            char stueck[4096];
            const size_t platz = std::min(sizeof(stueck), size_t(m_g.kopfBytes) - m_puffer.size());
            const ssize_t k = empfangen(stueck, platz);
            if (k <= 0)
                return Kopf::Zu;
            m_puffer.append(stueck, size_t(k));
        }
    }

private:
    int frist() const { return std::min(restMs(m_ende), m_g.zeitLimitSek * 1000); }

    // Waits for the first byte of a request. A kept-alive connection that
    // idles gives its worker up as soon as other connections wait for one
    // (the browser simply opens a new one for its next request); so does a
    // new connection that has sent nothing for a second, as a browser's
    // speculative one may.
    bool naechsteAbwarten()
    {
        const auto beginn = Uhr::now();
        const auto bis = beginn + std::chrono::milliseconds(frist());
        for (;;) {
            const int ms = restMs(bis);
            if (ms <= 0)
                return false;
            if (warten(m_fd, POLLIN, std::min(ms, 50)))
                return true;
            const bool ruht = m_anfragen > 0 || Uhr::now() - beginn >= std::chrono::seconds(1);
            if (ruht && m_gebraucht && m_gebraucht())
                return false;
        }
    }

    ssize_t empfangen(char* ziel, size_t n)
    {
        for (;;) {
            const ssize_t k = ::recv(m_fd, ziel, n, 0);
            if (k < 0 && errno == EINTR)
                continue;
            return k;
        }
    }

    int m_fd;
    std::string m_ip;
    int m_port;
    Grenzen m_g;
    Uhr::time_point m_ende; // no connection lives longer
    std::function<bool()> m_gebraucht; // whether other connections wait for a worker
    std::string m_puffer; // read ahead of the library: a request head, maybe more
    size_t m_pos = 0;
    int m_anfragen = 0; // requests begun on this connection
};

// The library's accepting loop hands each connection to a task queue; ours
// runs that task at once on the accepting thread, where the server decides
// quickly whether to serve the connection and then queues the socket itself.
class Sofort : public httplib::TaskQueue
{
public:
    void enqueue(std::function<void()> fn) override { fn(); }
    void shutdown() override { }
};

struct Innen {
    // The library's request parsing, routing and answer writing, fed from
    // our own connection handling.
    class Http : public httplib::Server
    {
    public:
        explicit Http(Innen* innen)
            : m_innen(innen)
        {
        }
        bool anfrage(httplib::Stream& s, bool schliessen, bool& geschlossen)
        {
            return process_request(s, schliessen, geschlossen, nullptr);
        }

    private:
        bool process_and_close_socket(socket_t sock) override
        {
            m_innen->annehmen(int(sock));
            return true;
        }
        Innen* m_innen;
    };

    struct Wartend {
        int fd = -1;
        std::string ip;
        int port = 0;
    };

    Bearbeiter bearbeiter;
    Grenzen grenzen;
    Pruefung pruefung; // safe to call from any thread
    Antwort (*fehlerAntwort)(int, const QString&) = nullptr;
    std::unique_ptr<Http> svr;
    std::thread lauscher;
    std::vector<std::thread> arbeiter;
    std::thread waechter;
    int lauschFd = -1;
    quint16 port = 0;
    QString fehler;

    std::mutex mutex; // everything below
    std::condition_variable cv; // the workers'
    std::condition_variable wachCv;
    bool ende = true;
    std::deque<Wartend> warteschlange;
    std::unordered_map<std::string, int> proAdresse; // connections served or waiting
    std::unordered_set<int> offen; // sockets a worker serves
    std::deque<std::pair<int, Uhr::time_point>> ausklingen; // refused, closed a moment later

    bool pruefen(const QHostAddress& a) const { return pruefung(a); }

    // On the accepting thread: nothing here may wait for the peer.
    void annehmen(int fd)
    {
        sockaddr_storage a {};
        socklen_t n = sizeof(a);
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&a), &n) != 0) {
            ::close(fd);
            return;
        }
        const QHostAddress peer = adresseVon(a);
        int ablehnen = 0;
        Wartend w;
        w.fd = fd;
        w.ip = peer.toString().toStdString();
        w.port = a.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&a)->sin6_port)
                                         : ntohs(reinterpret_cast<sockaddr_in*>(&a)->sin_port);
        if (!pruefen(peer)) {
            ablehnen = 403;
        } else {
            std::lock_guard<std::mutex> lock(mutex);
            int& zahl = proAdresse[w.ip];
            if (ende || zahl >= grenzen.proAdresse || warteschlange.size() >= size_t(grenzen.wartend)) {
                ablehnen = 503;
                if (zahl == 0)
                    proAdresse.erase(w.ip);
            } else {
                ++zahl;
                warteschlange.push_back(std::move(w));
                cv.notify_one();
                return;
            }
        }
        int ja = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &ja, sizeof(ja));
        const std::string text = rohAntwort(fehlerAntwort, ablehnen);
        ::send(fd, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        ausklingenLassen(fd);
    }

    // Closed only after a moment: closing with a request unread would reset
    // the connection and lose the answer on its way. Bounded in number.
    void ausklingenLassen(int fd)
    {
        ::shutdown(fd, SHUT_WR);
        std::lock_guard<std::mutex> lock(mutex);
        if (ausklingen.size() >= 256) {
            ::close(ausklingen.front().first);
            ausklingen.pop_front();
        }
        ausklingen.emplace_back(fd, Uhr::now() + std::chrono::seconds(1));
    }

    void arbeiten()
    {
        for (;;) {
            Wartend w;
            {
                std::unique_lock<std::mutex> lock(mutex);
                cv.wait(lock, [this] { return ende || !warteschlange.empty(); });
                if (ende)
                    return;
                w = std::move(warteschlange.front());
                warteschlange.pop_front();
                offen.insert(w.fd);
            }
            const bool abgewiesen = bedienen(w);
            {
                std::lock_guard<std::mutex> lock(mutex);
                offen.erase(w.fd);
                if (--proAdresse[w.ip] <= 0)
                    proAdresse.erase(w.ip);
            }
            if (abgewiesen) {
                ausklingenLassen(w.fd);
            } else {
                ::shutdown(w.fd, SHUT_RDWR);
                ::close(w.fd);
            }
        }
    }

    // True when the connection ends with our refusal of its head.
    bool bedienen(const Wartend& w)
    {
        int ja = 1;
        setsockopt(w.fd, IPPROTO_TCP, TCP_NODELAY, &ja, sizeof(ja));
        Strom strom(w.fd, w.ip, w.port, grenzen, [this] {
            std::lock_guard<std::mutex> lock(mutex);
            return !warteschlange.empty();
        });
        for (int rest = grenzen.keepAliveAnfragen; rest > 0; --rest) {
            const Strom::Kopf k = strom.kopfLesen();
            if (k == Strom::Kopf::Zu)
                return false;
            if (k != Strom::Kopf::Da) {
                const std::string text = rohAntwort(fehlerAntwort, k == Strom::Kopf::ZuGross ? 431 : 408);
                strom.write(text.data(), text.size());
                return true;
            }
            bool geschlossen = false;
            if (!svr->anfrage(strom, rest == 1, geschlossen) || geschlossen)
                return false;
            std::lock_guard<std::mutex> lock(mutex);
            if (ende)
                return false;
        }
        return false;
    }

    void wachen()
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!ende) {
            wachCv.wait_for(lock, std::chrono::milliseconds(250));
            const auto jetzt = Uhr::now();
            while (!ausklingen.empty() && (ende || ausklingen.front().second <= jetzt)) {
                ::close(ausklingen.front().first);
                ausklingen.pop_front();
            }
        }
        for (const auto& a : ausklingen)
            ::close(a.first);
        ausklingen.clear();
    }
};

class HttpServer : public ServerKern
{
public:
    explicit HttpServer(const KernAuftrag& auftrag)
        : d(std::make_unique<Innen>())
    {
        d->bearbeiter = auftrag.bearbeiter;
        d->pruefung = auftrag.pruefung;
        d->grenzen = auftrag.grenzen;
        d->fehlerAntwort = auftrag.fehlerAntwort;
    }
    ~HttpServer() override { anhalten(); }

    bool starten(const QString& adresse, quint16 port) override;
    void anhalten() override;
    bool laeuft() const override { return d->svr != nullptr; }
    quint16 port() const override { return d->port; }
    QString fehlerText() const override { return d->fehler; }

private:
    std::unique_ptr<Innen> d;
};

namespace
{

void setzen(httplib::Response& res, const Antwort& a)
{
    res.status = a.status;
    res.set_content(std::string(a.inhalt.constData(), size_t(a.inhalt.size())), a.typ.constData());
    res.set_header("Cache-Control", a.zwischenspeichern ? "max-age=300" : "no-store");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Referrer-Policy", "no-referrer");
}

} // namespace

bool HttpServer::starten(const QString& adresse, quint16 port)
{
    anhalten();
    d->fehler.clear();
    auto svr = std::make_unique<Innen::Http>(d.get());
    const Grenzen g = d->grenzen;
    svr->new_task_queue = [] { return new Sofort; };
    int* lauschFd = &d->lauschFd;
    svr->set_socket_options([lauschFd](socket_t s) {
        // SO_REUSEADDR only: the library's default SO_REUSEPORT would let a
        // second program share the port silently instead of failing.
        int ja = 1;
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &ja, sizeof(ja));
        int nein = 0;
        setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, &nein, sizeof(nein)); // fails harmlessly on IPv4
        *lauschFd = int(s);
    });
    // Headers and body leave in separate writes; without this each answer on
    // a kept-alive connection waits for the peer's delayed acknowledgement.
    svr->set_tcp_nodelay(true);
    svr->set_read_timeout(g.zeitLimitSek, 0);
    svr->set_write_timeout(g.zeitLimitSek, 0);
    svr->set_keep_alive_timeout(g.zeitLimitSek);
    svr->set_keep_alive_max_count(size_t(g.keepAliveAnfragen));
    svr->set_payload_max_length(size_t(g.maxKoerper));

    Innen* innen = d.get();
    auto behandeln = [innen](const httplib::Request& req, httplib::Response& res) {
        Anfrage a;
        a.methode = QString::fromStdString(req.method);
        a.pfad = QString::fromStdString(req.path);
        for (const auto& p : req.params)
            a.parameter.insert(QString::fromStdString(p.first), QString::fromStdString(p.second));
        a.koerper = QByteArray(req.body.data(), int(req.body.size()));
        a.absender = QString::fromStdString(req.remote_addr);
        setzen(res, innen->bearbeiter(a));
    };
    svr->Get(".*", behandeln);
    svr->Post(".*", behandeln);
    svr->set_error_handler([innen](const httplib::Request&, httplib::Response& res) {
        // Our own refusals carry their text; the library's (too large, bad
        // request line) get a German one.
        if (res.body.empty())
            setzen(res, innen->fehlerAntwort(res.status, fehlerTextFuer(res.status)));
    });
    svr->set_exception_handler([innen](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        setzen(res, innen->fehlerAntwort(500, QStringLiteral("Interner Fehler des Programms.")));
    });

    const QString t = adresse.trimmed();
    const bool alle
        = t.isEmpty() || t == QLatin1String("*") || t.compare(QLatin1String("any"), Qt::CaseInsensitive) == 0;
    QStringList versuche;
    if (alle)
        versuche << QStringLiteral("::") << QStringLiteral("0.0.0.0"); // the second where IPv6 is off
    else
        versuche << t;
    int gebunden = -1;
    int fehlerNr = 0;
    for (const QString& host : qAsConst(versuche)) {
        errno = 0;
        if (port == 0)
            gebunden = svr->bind_to_any_port(host.toStdString());
        else
            gebunden = svr->bind_to_port(host.toStdString(), port) ? port : -1;
        fehlerNr = errno;
        if (gebunden > 0)
            break;
    }
    if (gebunden <= 0) {
        d->lauschFd = -1;
        d->fehler = fehlerNr ? QString::fromLocal8Bit(std::strerror(fehlerNr))
                             : QStringLiteral("Adresse %1 nicht verfügbar").arg(t);
        return false;
    }
    // The library listens with a backlog of five; sixty tables sending at
    // once would see dropped connection attempts and a second's retry.
    ::listen(d->lauschFd, 256);
    d->port = quint16(gebunden);
    d->svr = std::move(svr);
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->ende = false;
    }
    for (int i = 0; i < g.arbeiter; ++i)
        d->arbeiter.emplace_back([innen] { innen->arbeiten(); });
    d->waechter = std::thread([innen] { innen->wachen(); });
    httplib::Server* roh = d->svr.get();
    d->lauscher = std::thread([roh] { roh->listen_after_bind(); });
    // stop() only reaches a server that is already running its loop.
    for (int i = 0; i < 2000 && !roh->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void HttpServer::anhalten()
{
    if (!d->svr)
        return;
    d->svr->stop();
    if (d->lauscher.joinable())
        d->lauscher.join();
    {
        // Connections being served end at their next read or write.
        std::lock_guard<std::mutex> lock(d->mutex);
        d->ende = true;
        for (const int fd : d->offen)
            ::shutdown(fd, SHUT_RDWR);
    }
    d->cv.notify_all();
    d->wachCv.notify_all();
    for (std::thread& t : d->arbeiter)
        t.join();
    d->arbeiter.clear();
    if (d->waechter.joinable())
        d->waechter.join();
    for (const Innen::Wartend& w : d->warteschlange)
        ::close(w.fd);
    d->warteschlange.clear();
    for (const auto& a : d->ausklingen) // refused by a worker after the watcher ended
        ::close(a.first);
    d->ausklingen.clear();
    d->proAdresse.clear();
    d->svr.reset();
    d->lauschFd = -1;
    d->port = 0;
}

} // namespace

} // namespace Web

extern "C" Q_DECL_EXPORT Web::ServerKern* reizwerk_web_server(const Web::KernAuftrag& auftrag)
{
    return new Web::HttpServer(auftrag);
}
