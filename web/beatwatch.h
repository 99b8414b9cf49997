#pragma once
// The dead man of a page's key: armed when the page keys, fed by that
// page's heartbeats, and when it has heard none for its time it says so,
// with when the last one came. It runs in a thread of its own where nothing
// else runs, and a heartbeat is only a time noted there: one page's
// messages or the panel's own work never make it late, nor hide a beat.
#include <QObject>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class CBeatWatch : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    explicit CBeatWatch(std::chrono::milliseconds timeout, QObject* parent = nullptr);
    ~CBeatWatch() override;

    // Each from any thread. Arm returns the arming's number, which
    // Silent names.
    quint64 Arm(const QObject* page);
    void Disarm();
    // Counts only from the page armed for.
    void Beat(const QObject* page);
    void SetTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds Timeout() const;

signals:
    // In the watch's thread: the arming heard nothing since `lastBeatNs`
    // (Clock's nanoseconds since its epoch); it is disarmed.
    void Silent(quint64 arming, qint64 lastBeatNs);

private:
    void Watch();

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    const QObject* m_page = nullptr;
    quint64 m_arming = 0;
    bool m_armed = false;
    bool m_stopping = false;
    Clock::time_point m_lastBeat;
    std::chrono::milliseconds m_timeout;
    std::thread m_thread;
};
