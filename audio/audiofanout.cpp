#include "audio/audiofanout.h"

#include <algorithm>

std::shared_ptr<CListenerQueue> CAudioFanOut::Join()
{
    if (Listeners() >= kMaxListeners)
        return nullptr;
    m_queues.push_back(std::make_shared<CListenerQueue>(m_framesPerListener));
    return m_queues.back();
}

void CAudioFanOut::Leave(const std::shared_ptr<CListenerQueue>& queue)
{
    m_queues.erase(std::remove(m_queues.begin(), m_queues.end(), queue), m_queues.end());
}

void CAudioFanOut::Publish(const QByteArray& frame)
{
    for (const std::shared_ptr<CListenerQueue>& queue : m_queues)
        queue->Push(frame);
}
