#include "web/beatwatch.h"

CBeatWatch::CBeatWatch(std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), m_timeout(timeout), m_thread([this] { Watch(); })
{
}

CBeatWatch::~CBeatWatch()
{
    {
        std::lock_guard<std::mutex> locked(m_lock);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

quint64 CBeatWatch::Arm(const QObject* page)
{
    std::lock_guard<std::mutex> locked(m_lock);
    m_page = page;
    m_armed = true;
    m_lastBeat = Clock::now();
    m_wake.notify_all();
    return ++m_arming;
}

void CBeatWatch::Disarm()
{
    std::lock_guard<std::mutex> locked(m_lock);
    m_armed = false;
    m_page = nullptr;
}

// No wake-up: the watch finds the later time when it next looks.
void CBeatWatch::Beat(const QObject* page)
{
    std::lock_guard<std::mutex> locked(m_lock);
    if (m_armed && page == m_page)
        m_lastBeat = Clock::now();
}

void CBeatWatch::SetTimeout(std::chrono::milliseconds timeout)
{
    std::lock_guard<std::mutex> locked(m_lock);
    m_timeout = timeout;
    m_wake.notify_all();
}

std::chrono::milliseconds CBeatWatch::Timeout() const
{
    std::lock_guard<std::mutex> locked(m_lock);
    return m_timeout;
}

void CBeatWatch::Watch()
{
    std::unique_lock<std::mutex> locked(m_lock);
    while (!m_stopping) {
        if (!m_armed) {
            m_wake.wait(locked);
            continue;
        }
        const Clock::time_point due = m_lastBeat + m_timeout;
        if (Clock::now() < due) {
            m_wake.wait_until(locked, due);
            continue;
        }
        m_armed = false;
        const quint64 arming = m_arming;
        const qint64 lastBeat = std::chrono::duration_cast<std::chrono::nanoseconds>(m_lastBeat.time_since_epoch()).count();
        locked.unlock();
        emit Silent(arming, lastBeat);
        locked.lock();
    }
}
