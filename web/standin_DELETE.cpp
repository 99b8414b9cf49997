// STAND-IN, deleted at the merge with the operators' branch, which brings
// the real implementations (Argon2id hashing among them). This one keeps
// passwords as plain text and is only for building and testing the server.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include "web/loginthrottle.h"
#include "web/operatorstore.h"
#include "web/websessions.h"

QString RoleName(OperatorRole role)
{
    switch (role) {
    case OperatorRole::Listen: return QStringLiteral("listen");
    case OperatorRole::Operate: return QStringLiteral("operate");
    case OperatorRole::Transmit: return QStringLiteral("transmit");
    }
    return {};
}

std::optional<OperatorRole> RoleFromName(const QString& name)
{
    for (OperatorRole role : {OperatorRole::Listen, OperatorRole::Operate, OperatorRole::Transmit}) {
        if (RoleName(role) == name)
            return role;
    }
    return std::nullopt;
}

COperatorStore::COperatorStore(const QString& path) : m_path(path) {}

bool COperatorStore::Load(QString& why)
{
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return false;
    }
    for (const QJsonValue& value : QJsonDocument::fromJson(file.readAll()).array()) {
        const QJsonObject entry = value.toObject();
        m_operators << OperatorEntry{entry[QStringLiteral("name")].toString(),
                                     RoleFromName(entry[QStringLiteral("role")].toString()).value_or(OperatorRole::Listen),
                                     entry[QStringLiteral("hash")].toString().toUtf8()};
    }
    return true;
}

bool COperatorStore::Save(QString& why) const
{
    QJsonArray list;
    for (const OperatorEntry& entry : m_operators)
        list.append(QJsonObject{{QStringLiteral("name"), entry.name}, {QStringLiteral("role"), RoleName(entry.role)},
                                {QStringLiteral("hash"), QString::fromUtf8(entry.hash)}});
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(list).toJson()) < 0) {
        why = file.errorString();
        return false;
    }
    return true;
}

bool COperatorStore::Add(const QString& name, OperatorRole role, const QByteArray& password, QString& why)
{
    if (name.isEmpty()) {
        why = QStringLiteral("empty name");
        return false;
    }
    Remove(name);
    m_operators << OperatorEntry{name, role, password};
    return true;
}

bool COperatorStore::Remove(const QString& name)
{
    return m_operators.removeIf([&name](const OperatorEntry& entry) { return entry.name == name; }) > 0;
}

std::optional<OperatorRole> COperatorStore::Verify(const QString& name, const QByteArray& password) const
{
    for (const OperatorEntry& entry : m_operators) {
        if (entry.name == name && entry.hash == password)
            return entry.role;
    }
    return std::nullopt;
}

CLoginThrottle::Verdict CLoginThrottle::VerdictOf(const Failures& failures, const QDateTime& now)
{
    if (failures.count >= 10 && failures.last.secsTo(now) < 300)
        return Verdict::Locked;
    if (failures.count >= 3 && failures.last.msecsTo(now) < 1000)
        return Verdict::TooSoon;
    return Verdict::Allowed;
}

CLoginThrottle::Verdict CLoginThrottle::Check(const QString& address, const QString& name, const QDateTime& now) const
{
    const Verdict byAddress = VerdictOf(m_byAddress.value(address), now);
    const Verdict byName = VerdictOf(m_byName.value(name), now);
    return std::max(byAddress, byName);
}

bool CLoginThrottle::Failed(const QString& address, const QString& name, const QDateTime& now)
{
    for (Failures* failures : {&m_byAddress[address], &m_byName[name]}) {
        ++failures->count;
        failures->last = now;
    }
    return m_byAddress[address].count == 10 || m_byName[name].count == 10;
}

void CLoginThrottle::Succeeded(const QString& address, const QString& name)
{
    m_byAddress.remove(address);
    m_byName.remove(name);
}

QString CWebSessions::Create(const QString& name, OperatorRole role, const QDateTime& now)
{
    QByteArray bytes(32, Qt::Uninitialized);
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    const QString token = QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
    m_sessions.insert(token, WebSession{token, name, role, now, now});
    return token;
}

std::optional<WebSession> CWebSessions::Use(const QString& token, const QDateTime& now)
{
    const auto found = m_sessions.find(token);
    if (found == m_sessions.end())
        return std::nullopt;
    if (found->created.secsTo(now) > kLongestSecs || found->lastUsed.secsTo(now) > kIdleSecs) {
        m_sessions.erase(found);
        return std::nullopt;
    }
    found->lastUsed = now;
    return *found;
}

void CWebSessions::End(const QString& token) { m_sessions.remove(token); }

void CWebSessions::EndAllOf(const QString& name)
{
    m_sessions.removeIf([&name](const auto& entry) { return entry.value().name == name; });
}
