#pragma once
// Logged-in web operators, by a random token the browser keeps in a
// Secure, HttpOnly, SameSite=Strict cookie. A session ends after 12 hours,
// after 30 minutes in which the operator did nothing, or at once on logging
// out or when the operator is removed or changed. A page left open only to
// watch is not the operator doing something: it ends with its session.
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

#include "web/operatorrole.h"

struct WebSession {
    QString token;  // 32 random bytes, base64url
    QString name;
    OperatorRole role = OperatorRole::Listen;
    QDateTime created;
    QDateTime lastUsed;
};

class CWebSessions {
public:
    static constexpr qint64 kLongestSecs = 12 * 3600;
    static constexpr qint64 kIdleSecs = 30 * 60;

    // An empty token when no random numbers can be had.
    QString Create(const QString& name, OperatorRole role, const QDateTime& now);
    // The session of a live token, the operator's own action noted (a page
    // loaded, a control used); none for a token unknown, forged or expired
    // (which is forgotten).
    std::optional<WebSession> Use(const QString& token, const QDateTime& now);
    // The same, without counting as an action: a page that only watches.
    std::optional<WebSession> Find(const QString& token, const QDateTime& now);
    void End(const QString& token);
    // Every session of a removed or changed operator, for `why`; their
    // tokens, so that their pages can be closed too.
    QStringList EndAllOf(const QString& name, const QString& why = QString());
    // Why the program ended this token's session (idle, too old, the
    // operator changed), for the login page to say; empty when it did not.
    QString WhyEnded(const QString& token) const;

private:
    struct Ended {
        QString why;
        QDateTime at;
    };
    using Sessions = QHash<QByteArray, WebSession>;
    std::optional<WebSession> Live(const QString& token, const QDateTime& now);
    // The next one; why (when given) is kept for the login page.
    Sessions::iterator Forget(Sessions::iterator found, const QString& why, const QDateTime& now);

    Sessions m_sessions;  // by the SHA-256 of the token
    QHash<QByteArray, Ended> m_ended;          // likewise; kept as long as a session may last
};
