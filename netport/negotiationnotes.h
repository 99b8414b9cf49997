#pragma once
// The telnet layer as the trace tells it: each option agreed or refused, and
// each report of the far end's port, on a line of its own while they are
// few, as an opening has; past that they are counted and told in one line a
// second at most, so a far end that toggles options for ever leaves a short
// trace, not one many times the size of what it sent.
#include <QElapsedTimer>
#include <QList>
#include <QStringList>

#include "netport/telnetcodec.h"

class CNegotiationNotes {
public:
    static constexpr int kOneByOne = 16;
    static constexpr int kSummaryMs = 1000;

    // The lines for these events.
    QStringList Add(const QList<CTelnetCodec::Event>& events);
    // What is counted and not yet told, as the connection ends.
    QStringList Flush();
    // While changes are still told one by one.
    bool OneByOne() const { return m_told < kOneByOne; }

private:
    int m_told = 0;
    qint64 m_counted = 0;
    QElapsedTimer m_sinceSummary;
};

// "we do BINARY", "far end reports baud rate 9600": empty for a report the
// panel has no words for.
QString DescribeTelnetEvent(const CTelnetCodec::Event& event);
