#pragma once
// A far end on loopback that sends as fast as the kernel takes it, from a
// thread of its own so the event loop under test cannot slow it: `opening`
// once, then `pattern` over and over until `total` bytes have gone (or, with
// a total of -1, until it is stopped). It reads nothing the panel sends, and
// asks the kernel for a small receive buffer, so what is not read piles up
// at the panel's end. One connection; the port is free until one comes.
// Made `held`, it sends the opening and keeps the pattern until Release().
#include <QByteArray>
#include <atomic>
#include <thread>

class FloodingFarEnd {
public:
    FloodingFarEnd(const QByteArray& opening, const QByteArray& pattern, qint64 total, bool held = false);
    ~FloodingFarEnd();

    quint16 Port() const { return m_port; }
    qint64 Sent() const { return m_sent; }
    bool Connected() const { return m_connected; }
    bool DoneSending() const { return m_done; }
    void Release() { m_held = false; }
    void Stop();

private:
    void Run(QByteArray opening, QByteArray pattern, qint64 total);
    bool SendAll(int fd, const QByteArray& bytes);

    int m_listen = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_held{false};
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_done{false};
    std::atomic<qint64> m_sent{0};
    std::thread m_thread;
};
