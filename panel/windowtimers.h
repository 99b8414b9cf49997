#pragma once
// Window timers by the program's own ids: SetTimer(id, period) starts or
// restarts timer id, and each tick is handed to the owner as that id.
#include <QBasicTimer>
#include <QObject>
#include <functional>
#include <map>

class CWindowTimers : public QObject {
public:
    using TickHandler = std::function<void(unsigned id)>;

    explicit CWindowTimers(TickHandler onTick) : m_onTick(std::move(onTick)) {}
    void SetTimer(unsigned id, int periodMs);
    void KillAll();                 // the window is going: no more ticks
    int Period(unsigned id) const;  // 0 when the timer is not running

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    struct Entry {
        QBasicTimer timer;
        int period = 0;
    };
    TickHandler m_onTick;
    std::map<unsigned, Entry> m_timers;
};
