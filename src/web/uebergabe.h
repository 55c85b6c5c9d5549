#pragma once
// Hands a piece of work from a server worker thread to the thread of a
// QObject (the window's) and waits for its result, bounded in time. The
// worker never touches a database connection or a widget itself.

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>

namespace Web
{

// Nothing when the target is gone, the program is shutting down (`ende`)
// or the work did not finish within `zeitMs`; the work then still runs
// later on the target's thread, or not at all, and its result is dropped.
template<class T>
std::optional<T> aufThread(QObject* ziel, std::function<T()> arbeit, int zeitMs, const std::atomic<bool>& ende)
{
    auto versprechen = std::make_shared<std::promise<T>>();
    std::future<T> zukunft = versprechen->get_future();
    QPointer<QObject> z(ziel);
    const bool eingereiht = QMetaObject::invokeMethod(
        ziel, [versprechen, arbeit = std::move(arbeit)] { versprechen->set_value(arbeit()); }, Qt::QueuedConnection);
    if (!eingereiht)
        return std::nullopt;
    const auto bis = std::chrono::steady_clock::now() + std::chrono::milliseconds(zeitMs);
    // Short slices, so a shutdown does not wait for the whole time.
    while (!ende.load()) {
        if (zukunft.wait_for(std::chrono::milliseconds(20)) == std::future_status::ready) {
            try {
                return zukunft.get();
            } catch (const std::future_error&) {
                return std::nullopt; // the work was dropped unrun
            }
        }
        if (std::chrono::steady_clock::now() >= bis)
            break;
    }
    return std::nullopt;
}

} // namespace Web
