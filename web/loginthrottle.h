#pragma once
// Failed logins slowed per address and per name: after three failures one
// try a second, after ten locked for five minutes. Nothing is told about
// which of name and password was wrong; that is the caller's to keep.
#include <QDateTime>
#include <QHash>
#include <QString>

class CLoginThrottle {
public:
    enum class Verdict { Allowed, TooSoon, Locked };

    Verdict Check(const QString& address, const QString& name, const QDateTime& now) const;
    // Returns true when this failure locked the address or the name.
    bool Failed(const QString& address, const QString& name, const QDateTime& now);
    void Succeeded(const QString& address, const QString& name);

private:
    struct Failures {
        int count = 0;
        QDateTime last;
    };
    static Verdict VerdictOf(const Failures& failures, const QDateTime& now);
    // Notes one failure; true when it locks the key.
    static bool Count(QHash<QString, Failures>& table, const QString& key, const QDateTime& now);

    QHash<QString, Failures> m_byAddress;
    QHash<QString, Failures> m_byName;
};
