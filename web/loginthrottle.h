#pragma once
// Failed logins slowed and locked. A try counts as a failure from the
// moment it is taken, before its password is checked, so tries made all at
// once are counted all at once; a success takes the count back. From one
// address: after three failures one try a second, after ten none for five
// minutes, whatever the names. A name is locked only for the addresses
// that failed it ten times; from anywhere else a name failed three times
// is slowed (its try waits until a second after the last failure), never
// refused, so nobody can keep an operator out by failing her name. Nothing
// is told about which of name and password was wrong; that is the
// caller's to keep.
#include <QDateTime>
#include <QHash>
#include <QString>
#include <chrono>

class CLoginThrottle {
public:
    enum class Verdict { Allowed, TooSoon, Locked };
    struct Decision {
        Verdict verdict = Verdict::Allowed;
        // How long an allowed try waits before its password is checked.
        std::chrono::milliseconds wait{0};
        // This try, if it fails, locks the address or the name there.
        bool locks = false;
    };

    // The verdict for a try; an allowed one is counted as a failure.
    // An empty name counts for the address only.
    Decision Take(const QString& address, const QString& name, const QDateTime& now);
    void Succeeded(const QString& address, const QString& name);

private:
    struct Failures {
        int count = 0;
        QDateTime last;
    };
    using Table = QHash<QString, Failures>;
    static Verdict VerdictOf(const Failures& failures, const QDateTime& now);
    // Notes one failure; true when it locks the key.
    static bool Count(Table& table, const QString& key, const QDateTime& now);
    static QString Pair(const QString& address, const QString& name);

    Table m_byAddress;
    Table m_byName;
    Table m_byPair;  // a name from one address
};
