#pragma once
// How many messages a page may send: so many a second on the average, a
// burst at once. Past that they are not carried out; a page that keeps on
// is closed by the feed.
#include <QElapsedTimer>

class CMessageRate {
public:
    CMessageRate(int perSecond, int burst);

    // Whether this message may go on.
    bool Take();
    // Refused since the last one taken: the first of a run is told.
    int RefusedInARow() const { return m_refusedInARow; }

private:
    int m_perSecond;
    int m_burst;
    double m_tokens;
    QElapsedTimer m_since;
    int m_refusedInARow = 0;
};
