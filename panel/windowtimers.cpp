#include "panel/windowtimers.h"

#include <QTimerEvent>

void CWindowTimers::SetTimer(unsigned id, int periodMs)
{
    Entry& entry = m_timers[id];
    entry.period = periodMs;
    entry.timer.start(periodMs, Qt::PreciseTimer, this);
}

void CWindowTimers::KillAll()
{
    for (auto& [id, entry] : m_timers)
        entry.timer.stop();
}

int CWindowTimers::Period(unsigned id) const
{
    const auto it = m_timers.find(id);
    return it == m_timers.end() || !it->second.timer.isActive() ? 0 : it->second.period;
}

void CWindowTimers::timerEvent(QTimerEvent* event)
{
    for (auto& [id, entry] : m_timers) {
        if (entry.timer.timerId() == event->timerId()) {
            m_onTick(id);
            return;
        }
    }
    QObject::timerEvent(event);
}
