#include "web/websessions.h"

#include <QCryptographicHash>
#include <sodium.h>

#include "web/sodiumready.h"

namespace {
constexpr int kTokenBytes = 32;

// Sessions are filed by a digest of their token, so finding one compares
// digests, and how long a lookup takes tells nothing about real tokens.
QByteArray KeyOf(const QString& token)
{
    return QCryptographicHash::hash(token.toLatin1(), QCryptographicHash::Sha256);
}

QString NewToken()
{
    QByteArray random(kTokenBytes, '\0');
    randombytes_buf(random.data(), size_t(random.size()));
    return QString::fromLatin1(random.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool HasExpired(const WebSession& session, const QDateTime& now)
{
    return session.created.secsTo(now) >= CWebSessions::kLongestSecs
        || session.lastUsed.secsTo(now) >= CWebSessions::kIdleSecs;
}
} // namespace

QString CWebSessions::Create(const QString& name, OperatorRole role, const QDateTime& now)
{
    if (!SodiumReady())
        return QString();
    m_sessions.removeIf([&now](const auto& item) { return HasExpired(item.value(), now); });
    const QString token = NewToken();
    m_sessions.insert(KeyOf(token), WebSession{token, name, role, now, now});
    return token;
}

std::optional<WebSession> CWebSessions::Use(const QString& token, const QDateTime& now)
{
    const auto found = m_sessions.find(KeyOf(token));
    if (found == m_sessions.end())
        return std::nullopt;
    if (HasExpired(*found, now)) {
        m_sessions.erase(found);
        return std::nullopt;
    }
    found->lastUsed = now;
    return *found;
}

void CWebSessions::End(const QString& token) { m_sessions.remove(KeyOf(token)); }

void CWebSessions::EndAllOf(const QString& name)
{
    m_sessions.removeIf([&name](const auto& item) { return item.value().name == name; });
}
