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

int Severity(CLoginThrottle::Verdict verdict) { return int(verdict); }

bool IsStale(const QDateTime& last, const QDateTime& now) { return last.secsTo(now) >= kForgetSecs; }

} // namespace

bool CLoginThrottle::Count(QHash<QString, Failures>& table, const QString& key, const QDateTime& now)
{
    if (table.size() > kPruneAbove)
        table.removeIf([&now](const auto& item) { return IsStale(item.value().last, now); });
    Failures& failures = table[key];
    if (failures.count > 0 && IsStale(failures.last, now))
        failures.count = 0;
    ++failures.count;
    failures.last = now;
    return failures.count >= kLockAfter;
}

CLoginThrottle::Verdict CLoginThrottle::VerdictOf(const Failures& failures, const QDateTime& now)
{
    if (failures.count >= kLockAfter && failures.last.secsTo(now) < kLockSecs)
        return Verdict::Locked;
    if (failures.count >= kSlowAfter && failures.last.msecsTo(now) < kSlowMs)
        return Verdict::TooSoon;
    return Verdict::Allowed;
}

CLoginThrottle::Verdict CLoginThrottle::Check(const QString& address, const QString& name, const QDateTime& now) const
{
    const Verdict byAddress = VerdictOf(m_byAddress.value(address), now);
    const Verdict byName = VerdictOf(m_byName.value(name), now);
    return Severity(byAddress) >= Severity(byName) ? byAddress : byName;
}

bool CLoginThrottle::Failed(const QString& address, const QString& name, const QDateTime& now)
{
    const bool addressLocked = Count(m_byAddress, address, now);
    const bool nameLocked = Count(m_byName, name, now);
    return addressLocked || nameLocked;
}

void CLoginThrottle::Succeeded(const QString& address, const QString& name)
{
    m_byAddress.remove(address);
    m_byName.remove(name);
}
