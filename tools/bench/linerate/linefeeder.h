#pragma once
// Writes status lines into the master side of a pty as a UART delivers them:
// one character per write, evenly spaced, and reads away whatever the
// program at the other end sends so its writes never block.
#include <QByteArrayList>

qint64 MonotonicNanos();

// Full reports as the radio sends them; unless `same`, each a 10 Hz step on
// from the one before, as while the user jogs, so the display changes every
// line.
QByteArrayList ChangingReports(bool same = false);

class LineFeeder {
public:
    LineFeeder(int masterFd, QByteArrayList lines) : m_fd(masterFd), m_lines(std::move(lines)) {}

    // True once the program has written anything (it has opened its port).
    bool WaitForOutput(double seconds);
    // Reads and discards for this long, writing nothing.
    void Idle(double seconds);
    // Feeds for this long at this many characters a second; returns how many
    // characters went out. A late tick is not made up by a burst: the line
    // stays one character per wake-up, at the cost of a slightly lower rate.
    qint64 Feed(double seconds, double charsPerSecond);

private:
    qint64 Drain();

    int m_fd;
    QByteArrayList m_lines;
    int m_line = 0;
    qsizetype m_pos = 0;
};
