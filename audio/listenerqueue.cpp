#include "audio/listenerqueue.h"

void CListenerQueue::Push(const QByteArray& frame)
{
    if (int(m_frames.size()) >= m_capacity) {
        m_frames.pop_front();
        ++m_dropped;
    }
    m_frames.push_back(frame);
}

std::optional<QByteArray> CListenerQueue::Take()
{
    if (m_frames.empty())
        return std::nullopt;
    QByteArray frame = m_frames.front();
    m_frames.pop_front();
    return frame;
}
