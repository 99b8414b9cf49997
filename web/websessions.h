#pragma once
// Logged-in web operators, by a random token the browser keeps in a
// Secure, HttpOnly, SameSite=Strict cookie. A session ends after 12 hours,
// after 30 minutes without activity, or at once on logging out.
#include <QDateTime>
#include <QHash>
#include <QString>
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
    // The session of a live token, its activity noted; none for a token
    // unknown, forged or expired (which is forgotten).
    std::optional<WebSession> Use(const QString& token, const QDateTime& now);
    void End(const QString& token);
    // Every session of a removed or changed operator.
    void EndAllOf(const QString& name);

private:
    QHash<QByteArray, WebSession> m_sessions;  // by the SHA-256 of the token
};
