#pragma once
// The frames waiting for one listener. A listener on a slow line must not
// hold up the station nor the others, and old audio is worth nothing: when
// the queue is full the oldest frame goes to make room.
#include <QByteArray>
#include <deque>
#include <optional>

class CListenerQueue {
public:
    static constexpr int kDefaultFrames = 10;  // 200 ms of audio

    explicit CListenerQueue(int capacity = kDefaultFrames) : m_capacity(capacity < 1 ? 1 : capacity) {}

    void Push(const QByteArray& frame);
    // The oldest frame still waiting, if any.
    std::optional<QByteArray> Take();
    int Waiting() const { return int(m_frames.size()); }
    // How many frames this listener never got because it fell behind.
    quint64 Dropped() const { return m_dropped; }

private:
    int m_capacity;
    std::deque<QByteArray> m_frames;
    quint64 m_dropped = 0;
};
