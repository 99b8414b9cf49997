#include "txlog/accesstally.h"

namespace {
constexpr int kLookMs = 5000;
} // namespace

CAccessTally::CAccessTally(Tell tell, QObject* parent) : QObject(parent), m_tell(std::move(tell))
{
    connect(&m_look, &QTimer::timeout, this, [this] { TellEnded(false); });
    m_look.start(kLookMs);
}

// What was counted is not lost when the server stops.
CAccessTally::~CAccessTally() { TellCounted(); }

void CAccessTally::Note(const QString& event, const QString& address, const QString& name)
{
    QString key = event + QLatin1Char('\n') + address;
    if (!m_bursts.contains(key) && m_bursts.size() >= kMostBursts)
        key = event + QStringLiteral("\nmany addresses");
    auto found = m_bursts.find(key);
    if (found != m_bursts.end() && found->since.elapsed() < kBurstMs) {
        ++found->more;
        return;
    }
    if (found != m_bursts.end())
        TellEnded(false);
    m_tell(event, address, name);
    Burst& burst = m_bursts[key];
    burst = {event, key.section(QLatin1Char('\n'), 1), {}, 0};
    burst.since.start();
}

void CAccessTally::TellCounted() { TellEnded(true); }

void CAccessTally::TellEnded(bool all)
{
    for (auto it = m_bursts.begin(); it != m_bursts.end();) {
        if (!all && it->since.elapsed() < kBurstMs) {
            ++it;
            continue;
        }
        if (it->more > 0)
            m_tell(QStringLiteral("%1, %2 more times").arg(it->event).arg(it->more), it->address, QString());
        it = m_bursts.erase(it);
    }
}
