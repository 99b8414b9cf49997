#pragma once
// The web panel's operators: names, roles and Argon2id password hashes in
// one file of the data folder (operators.json), readable by its owner only,
// replaced in one step at each change. There is no default account.
#include <QList>
#include <QString>
#include <optional>

#include "web/operatorrole.h"

struct OperatorEntry {
    QString name;
    OperatorRole role = OperatorRole::Listen;
    QByteArray hash;  // crypto_pwhash_str's text

    bool operator==(const OperatorEntry& other) const
    {
        return name == other.name && role == other.role && hash == other.hash;
    }
    bool operator!=(const OperatorEntry& other) const { return !(*this == other); }
};

// The file's operators, or none when the bytes are not a list this program
// wrote; and the bytes Save writes for a list.
std::optional<QList<OperatorEntry>> OperatorsFromFileBytes(const QByteArray& bytes);
QByteArray OperatorFileBytes(const QList<OperatorEntry>& entries);

class COperatorStore {
public:
    static constexpr const char* kFileName = "operators.json";
    static constexpr int kShortestPassword = 8;  // bytes, as typed

    explicit COperatorStore(const QString& path = QString::fromLatin1(kFileName));

    // False with why set when the file exists and cannot be read or is
    // not one this program wrote; a missing file is an empty store.
    bool Load(QString& why);
    bool Save(QString& why) const;

    bool IsEmpty() const { return m_operators.isEmpty(); }
    QList<OperatorEntry> Operators() const { return m_operators; }
    // Adds or replaces; false with why set for a name that cannot be used
    // or a password shorter than kShortestPassword.
    bool Add(const QString& name, OperatorRole role, const QByteArray& password, QString& why);
    bool Remove(const QString& name);
    bool Contains(const QString& name) const;
    std::optional<OperatorEntry> Find(const QString& name) const;
    QString Path() const { return m_path; }

    // The role of a name whose password matches. Slow on purpose (Argon2id,
    // tens of milliseconds): call it off the user-interface thread. An
    // unknown name takes as long as a wrong password.
    std::optional<OperatorRole> Verify(const QString& name, const QByteArray& password) const;

private:
    QString m_path;
    QList<OperatorEntry> m_operators;
};
