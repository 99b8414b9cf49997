#pragma once
// The receiver's audio goes to every listener, each through its own queue,
// so a listener that falls behind loses its own oldest frames and nobody
// else's. The number of listeners is capped: each costs the station's
// uplink its share, about 24 kbit/s.
#include <QByteArray>
#include <memory>
#include <vector>

#include "audio/listenerqueue.h"

class CAudioFanOut {
public:
    static constexpr int kMaxListeners = 20;

    explicit CAudioFanOut(int framesPerListener = CListenerQueue::kDefaultFrames)
        : m_framesPerListener(framesPerListener) {}

    // A new listener's queue, or none when kMaxListeners already listen.
    std::shared_ptr<CListenerQueue> Join();
    void Leave(const std::shared_ptr<CListenerQueue>& queue);
    int Listeners() const { return int(m_queues.size()); }
    // Never waits for any listener.
    void Publish(const QByteArray& frame);

private:
    int m_framesPerListener;
    std::vector<std::shared_ptr<CListenerQueue>> m_queues;
};
