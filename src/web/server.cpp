#include "web/server.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <arpa/inet.h>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <httplib.h>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace Web
{

namespace
{

// Set on the accepting thread while it answers a connection that found all
// workers busy and the waiting line full.
thread_local bool ueberlastet = false;

// A fixed set of workers with a bounded waiting line. A connection beyond it
// is answered "busy" on the accepting thread itself, so no further
// connection is accepted meanwhile and the operating system's backlog, not
// our memory, holds the rest.
class Warteschlange : public httplib::TaskQueue
{
public:
    Warteschlange(int arbeiter, int wartend)
        : m_max(size_t(wartend))
    {
        for (int i = 0; i < arbeiter; ++i)
            m_threads.emplace_back([this] { arbeiten(); });
    }

    void enqueue(std::function<void()> fn) override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_ende && m_jobs.size() < m_max) {
                m_jobs.push_back(std::move(fn));
                m_cv.notify_one();
                return;
            }
        }
        ueberlastet = true;
        fn();
        ueberlastet = false;
    }

    void shutdown() override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_ende = true;
        }
        m_cv.notify_all();
        for (std::thread& t : m_threads)
            t.join();
        m_threads.clear();
    }

private:
    void arbeiten()
    {
        for (;;) {
            std::function<void()> fn;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_cv.wait(lock, [this] { return m_ende || !m_jobs.empty(); });
                if (m_jobs.empty())
                    return;
                fn = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            fn();
        }
    }

    size_t m_max;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_jobs;
    std::vector<std::thread> m_threads;
    bool m_ende = false;
};

quint16 lokalerPort(int fd)
{
    sockaddr_storage a {};
    socklen_t n = sizeof(a);
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n) != 0)
        return 0;
    if (a.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in*>(&a)->sin_port);
    if (a.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&a)->sin6_port);
    return 0;
}

} // namespace

struct Server::Innen {
    Bearbeiter bearbeiter;
    Grenzen grenzen;
    std::unique_ptr<httplib::Server> svr;
    std::thread lauscher;
    std::thread waechter;
    std::mutex waechterMutex;
    std::condition_variable waechterCv;
    bool waechterEnde = false;
    int lauschFd = -1;
    quint16 port = 0;
    QString fehler;

    // Closes connections of our port that have lived longer than allowed: the
    // library's timeouts only bound each single read, so a client that
    // trickles one byte every few seconds would otherwise keep a worker.
    void wachen()
    {
        std::unordered_map<ino_t, std::chrono::steady_clock::time_point> gesehen;
        std::unique_lock<std::mutex> lock(waechterMutex);
        while (!waechterEnde) {
            waechterCv.wait_for(lock, std::chrono::seconds(1));
            if (waechterEnde)
                break;
            const auto jetzt = std::chrono::steady_clock::now();
            std::unordered_map<ino_t, std::chrono::steady_clock::time_point> neu;
            const QStringList fds = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System);
            for (const QString& name : fds) {
                bool ok = false;
                const int fd = name.toInt(&ok);
                if (!ok || fd == lauschFd)
                    continue;
                struct stat st {
                };
                if (fstat(fd, &st) != 0 || !S_ISSOCK(st.st_mode))
                    continue;
                int lauschend = 0;
                socklen_t n = sizeof(lauschend);
                if (getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &lauschend, &n) != 0 || lauschend)
                    continue;
                if (lokalerPort(fd) != port)
                    continue;
                const auto it = gesehen.find(st.st_ino);
                const auto seit = it == gesehen.end() ? jetzt : it->second;
                neu.emplace(st.st_ino, seit);
                if (jetzt - seit > std::chrono::seconds(grenzen.hoechstDauerSek))
                    ::shutdown(fd, SHUT_RDWR);
            }
            gesehen.swap(neu);
        }
    }
};

Server::Server(Bearbeiter bearbeiter, Grenzen grenzen)
    : d(std::make_unique<Innen>())
{
    d->bearbeiter = std::move(bearbeiter);
    d->grenzen = grenzen;
}

Server::~Server()
{
    anhalten();
}

Antwort Server::fehlerAntwort(int status, const QString& text)
{
    Antwort a;
    a.status = status;
    a.inhalt = QJsonDocument(QJsonObject { { QStringLiteral("fehler"), text } }).toJson(QJsonDocument::Compact);
    return a;
}

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

QString fehlerTextFuer(int status)
{
    switch (status) {
    case 400:
        return QStringLiteral("Die Anfrage ist nicht lesbar.");
    case 404:
        return QStringLiteral("Diese Seite gibt es nicht.");
    case 413:
        return QStringLiteral("Die gesendeten Daten sind zu groß (höchstens 64 KiB).");
    case 414:
    case 431:
        return QStringLiteral("Die Adresse ist zu lang.");
    case 503:
        return QStringLiteral("Das Programm ist gerade ausgelastet. Bitte gleich noch einmal versuchen.");
    default:
        return QStringLiteral("Die Anfrage wurde abgelehnt (Fehler %1).").arg(status);
    }
}

} // namespace

bool Server::starten(const QString& adresse, quint16 port)
{
    anhalten();
    d->fehler.clear();
    auto svr = std::make_unique<httplib::Server>();
    const Grenzen g = d->grenzen;
    svr->new_task_queue = [g] { return new Warteschlange(g.arbeiter, g.wartend); };
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
    svr->set_pre_routing_handler([](const httplib::Request&, httplib::Response& res) {
        if (!ueberlastet)
            return httplib::Server::HandlerResponse::Unhandled;
        setzen(res, fehlerAntwort(503, fehlerTextFuer(503)));
        res.set_header("Connection", "close");
        return httplib::Server::HandlerResponse::Handled;
    });
    svr->Get(".*", behandeln);
    svr->Post(".*", behandeln);
    svr->set_error_handler([](const httplib::Request&, httplib::Response& res) {
        // Our own refusals carry their text; the library's (too large, bad
        // request line) get a German one.
        if (res.body.empty())
            setzen(res, fehlerAntwort(res.status, fehlerTextFuer(res.status)));
    });
    svr->set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        setzen(res, fehlerAntwort(500, QStringLiteral("Interner Fehler des Programms.")));
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
    httplib::Server* roh = d->svr.get();
    d->lauscher = std::thread([roh] { roh->listen_after_bind(); });
    // stop() only reaches a server that is already running its loop.
    for (int i = 0; i < 2000 && !roh->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    d->waechterEnde = false;
    d->waechter = std::thread([innen] { innen->wachen(); });
    return true;
}

void Server::anhalten()
{
    if (!d->svr)
        return;
    d->svr->stop();
    if (d->lauscher.joinable())
        d->lauscher.join();
    {
        std::lock_guard<std::mutex> lock(d->waechterMutex);
        d->waechterEnde = true;
    }
    d->waechterCv.notify_all();
    if (d->waechter.joinable())
        d->waechter.join();
    d->svr.reset();
    d->lauschFd = -1;
    d->port = 0;
}

bool Server::laeuft() const
{
    return d->svr != nullptr;
}

quint16 Server::port() const
{
    return d->port;
}

QString Server::fehlerText() const
{
    return d->fehler;
}

} // namespace Web
