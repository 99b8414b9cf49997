#include "web/loginthrottle.h"

namespace {
constexpr int kSlowAfter = 3;
constexpr qint64 kSlowMs = 1000;
constexpr int kLockAfter = 10;
constexpr qint64 kLockSecs = 5 * 60;
// Failures this old are forgotten, so a mistyped password a day ago does
// not count today, and the tables cannot grow without end.
constexpr qint64 kForgetSecs = 60 * 60;
constexpr int kPruneAbove = 4096;

bool IsStale(const QDateTime& last, const QDateTime& now) { return last.secsTo(now) >= kForgetSecs; }

} // namespace

QString CLoginThrottle::Pair(const QString& address, const QString& name)
{
    return name + QLatin1Char('\n') + address;
}

bool CLoginThrottle::Count(Table& table, const QString& key, const QDateTime& now)
{
    if (table.size() > kPruneAbove)
        table.removeIf([&now](const auto& item) { return IsStale(item.value().last, now); });
    Failures& failures = table[key];
    if (failures.count > 0 && IsStale(failures.last, now))
        failures.count = 0;
    ++failures.count;
    failures.last = now;
    return failures.count == kLockAfter;
}

CLoginThrottle::Verdict CLoginThrottle::VerdictOf(const Failures& failures, const QDateTime& now)
{
    if (failures.count >= kLockAfter && failures.last.secsTo(now) < kLockSecs)
        return Verdict::Locked;
    if (failures.count >= kSlowAfter && failures.last.msecsTo(now) < kSlowMs)
        return Verdict::TooSoon;
    return Verdict::Allowed;
}

CLoginThrottle::Decision CLoginThrottle::Take(const QString& address, const QString& name, const QDateTime& now)
{
    Decision decision;
    const Verdict byAddress = VerdictOf(m_byAddress.value(address), now);
    const Verdict byPair = name.isEmpty() ? Verdict::Allowed : VerdictOf(m_byPair.value(Pair(address, name)), now);
    decision.verdict = std::max(byAddress, byPair);
    if (decision.verdict != Verdict::Allowed)
        return decision;
    if (!name.isEmpty()) {
        const Failures& named = m_byName.value(name);
        if (named.count >= kSlowAfter)
            decision.wait = std::chrono::milliseconds(std::max<qint64>(0, kSlowMs - named.last.msecsTo(now)));
        Count(m_byName, name, now);
        decision.locks = Count(m_byPair, Pair(address, name), now);
    }
    decision.locks = Count(m_byAddress, address, now) || decision.locks;
    return decision;
}

void CLoginThrottle::Succeeded(const QString& address, const QString& name)
{
    m_byAddress.remove(address);
    m_byName.remove(name);
    m_byPair.remove(Pair(address, name));
}
