#include "web/operatorstore.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <sodium.h>

#include "files/atomicwrite.h"
#include "netport/boundedfile.h"
#include "web/operatorname.h"
#include "web/sodiumready.h"

namespace {

constexpr QFileDevice::Permissions kOthersBits = QFileDevice::ReadGroup | QFileDevice::WriteGroup
    | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

bool IsOurHash(const QString& hash)
{
    return hash.startsWith(QLatin1String("$argon2id$")) && hash.size() < int(crypto_pwhash_STRBYTES);
}

std::optional<QByteArray> HashOf(const QByteArray& password)
{
    if (!SodiumReady())
        return std::nullopt;
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, password.constData(), quint64(password.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return std::nullopt;
    return QByteArray(hash);
}

// Checked against when the name is unknown, so that costs what a wrong
// password costs and the time taken does not tell which names exist.
const QByteArray& DummyHash()
{
    static const QByteArray dummy = [] {
        QByteArray random(16, '\0');
        if (SodiumReady())
            randombytes_buf(random.data(), size_t(random.size()));
        return HashOf(random).value_or(QByteArray());
    }();
    return dummy;
}

bool Matches(const QByteArray& hash, const QByteArray& password)
{
    return !hash.isEmpty() && SodiumReady()
        && crypto_pwhash_str_verify(hash.constData(), password.constData(), quint64(password.size())) == 0;
}

std::optional<OperatorEntry> EntryFrom(const QJsonValue& value)
{
    const QJsonObject object = value.toObject();
    const QString name = object.value(QLatin1String("name")).toString();
    const std::optional<OperatorRole> role = RoleFromName(object.value(QLatin1String("role")).toString());
    const QString hash = object.value(QLatin1String("hash")).toString();
    QString why;
    if (!IsUsableOperatorName(name, why) || !role || !IsOurHash(hash))
        return std::nullopt;
    return OperatorEntry{name, *role, hash.toLatin1()};
}

} // namespace

std::optional<QList<OperatorEntry>> OperatorsFromFileBytes(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    const QJsonValue list = document.object().value(QLatin1String("operators"));
    if (error.error != QJsonParseError::NoError || !list.isArray())
        return std::nullopt;
    QList<OperatorEntry> entries;
    for (const QJsonValue& value : list.toArray()) {
        const std::optional<OperatorEntry> entry = EntryFrom(value);
        const auto sameName = [&entry](const OperatorEntry& e) { return e.name == entry->name; };
        if (!entry || std::any_of(entries.cbegin(), entries.cend(), sameName))
            return std::nullopt;
        entries << *entry;
    }
    return entries;
}

QByteArray OperatorFileBytes(const QList<OperatorEntry>& entries)
{
    QJsonArray list;
    for (const OperatorEntry& entry : entries)
        list.append(QJsonObject{{QStringLiteral("name"), entry.name},
                                {QStringLiteral("role"), RoleName(entry.role)},
                                {QStringLiteral("hash"), QString::fromLatin1(entry.hash)}});
    return QJsonDocument(QJsonObject{{QStringLiteral("operators"), list}}).toJson(QJsonDocument::Indented);
}

COperatorStore::COperatorStore(const QString& path) : m_path(path) {}

bool COperatorStore::Load(QString& why)
{
    m_operators.clear();
    const QFileInfo info(m_path);
    if (!info.exists())
        return true;
    // Bounded: a device or a named pipe under its name must not hang the
    // start or fill the memory.
    QByteArray bytes;
    if (!ReadBoundedFile(info.absoluteFilePath(), "operator", bytes, why, OthersMayRead::No))
        return false;
    const std::optional<QList<OperatorEntry>> entries = OperatorsFromFileBytes(bytes);
    if (!entries) {
        why = QStringLiteral("%1 is not an operator list this program wrote (changed by hand?); it was left as it is. "
                             "Fix it or remove it and add the operators again with --add-operator.").arg(info.absoluteFilePath());
        return false;
    }
    m_operators = *entries;
    return true;
}

bool COperatorStore::Save(QString& why) const
{
    const QString shown = QFileInfo(m_path).absoluteFilePath();
    QString failure;
    if (!WriteAtomically(m_path, OperatorFileBytes(m_operators), &failure, FileReaders::OwnerOnly)) {
        why = QStringLiteral("%1 could not be written (%2); the operators are as they were.").arg(shown, failure);
        return false;
    }
    if (QFile::permissions(m_path) & kOthersBits) {
        why = QStringLiteral("%1 was written but other users than its owner can read it; run \"chmod 600 %1\".").arg(shown);
        return false;
    }
    return true;
}

bool COperatorStore::Add(const QString& name, OperatorRole role, const QByteArray& password, QString& why)
{
    if (!IsUsableOperatorName(name, why))
        return false;
    if (password.size() < kShortestPassword) {
        why = QStringLiteral("A password has at least %1 characters.").arg(kShortestPassword);
        return false;
    }
    const std::optional<QByteArray> hash = HashOf(password);
    if (!hash) {
        why = QStringLiteral("The password could not be hashed (out of memory?); nothing was changed.");
        return false;
    }
    for (OperatorEntry& entry : m_operators) {
        if (entry.name == name) {
            entry = OperatorEntry{name, role, *hash};
            return true;
        }
    }
    m_operators << OperatorEntry{name, role, *hash};
    return true;
}

bool COperatorStore::Remove(const QString& name)
{
    return m_operators.removeIf([&name](const OperatorEntry& entry) { return entry.name == name; }) > 0;
}

bool COperatorStore::Contains(const QString& name) const
{
    return std::any_of(m_operators.cbegin(), m_operators.cend(),
                       [&name](const OperatorEntry& entry) { return entry.name == name; });
}

std::optional<OperatorEntry> COperatorStore::Find(const QString& name) const
{
    for (const OperatorEntry& entry : m_operators)
        if (entry.name == name)
            return entry;
    return std::nullopt;
}

std::optional<OperatorRole> COperatorStore::Verify(const QString& name, const QByteArray& password) const
{
    for (const OperatorEntry& entry : m_operators) {
        if (entry.name == name) {
            if (Matches(entry.hash, password))
                return entry.role;
            return std::nullopt;
        }
    }
    Matches(DummyHash(), password);
    return std::nullopt;
}
