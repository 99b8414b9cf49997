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

// Why a session is over by now, or empty while it lasts.
QString Expiry(const WebSession& session, const QDateTime& now)
{
    if (session.created.secsTo(now) >= CWebSessions::kLongestSecs)
        return QStringLiteral("The session ended after %1 hours; log in again.").arg(CWebSessions::kLongestSecs / 3600);
    if (session.lastUsed.secsTo(now) >= CWebSessions::kIdleSecs)
        return QStringLiteral("The session ended after %1 minutes in which nothing was done on the page; log in again.")
            .arg(CWebSessions::kIdleSecs / 60);
    return QString();
}
} // namespace

QString CWebSessions::Create(const QString& name, OperatorRole role, const QDateTime& now)
{
    if (!SodiumReady())
        return QString();
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        const QString why = Expiry(*it, now);
        it = why.isEmpty() ? std::next(it) : Forget(it, why, now);
    }
    m_ended.removeIf([&now](const auto& item) { return item.value().at.secsTo(now) >= kLongestSecs; });
    const QString token = NewToken();
    m_sessions.insert(KeyOf(token), WebSession{token, name, role, now, now});
    return token;
}

std::optional<WebSession> CWebSessions::Use(const QString& token, const QDateTime& now)
{
    std::optional<WebSession> session = Live(token, now);
    if (session)
        session->lastUsed = m_sessions[KeyOf(token)].lastUsed = now;
    return session;
}

std::optional<WebSession> CWebSessions::Find(const QString& token, const QDateTime& now) { return Live(token, now); }

std::optional<WebSession> CWebSessions::Live(const QString& token, const QDateTime& now)
{
    const auto found = m_sessions.find(KeyOf(token));
    if (found == m_sessions.end())
        return std::nullopt;
    if (const QString why = Expiry(*found, now); !why.isEmpty()) {
        Forget(found, why, now);
        return std::nullopt;
    }
    return *found;
}

CWebSessions::Sessions::iterator CWebSessions::Forget(Sessions::iterator found, const QString& why, const QDateTime& now)
{
    if (!why.isEmpty())
        m_ended.insert(found.key(), Ended{why, now});
    return m_sessions.erase(found);
}

void CWebSessions::End(const QString& token) { m_sessions.remove(KeyOf(token)); }

QStringList CWebSessions::EndAllOf(const QString& name, const QString& why)
{
    QStringList tokens;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (it->name != name) {
            ++it;
            continue;
        }
        tokens << it->token;
        it = Forget(it, why, now);
    }
    return tokens;
}

QString CWebSessions::WhyEnded(const QString& token) const { return m_ended.value(KeyOf(token)).why; }
