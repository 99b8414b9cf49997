#pragma once
// What the transmission and access records share: monthly CSV files that
// are only ever appended to, each write on the disk before it returns, and
// a file that cannot be written told about once, never in the caller's way.
#include <QByteArray>
#include <QLoggingCategory>
#include <QObject>
#include <QSet>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcTxLog)

class CRecordFile : public QObject {
    Q_OBJECT
signals:
    // Names the file and why it cannot be written; empty once it can again.
    void Problem(const QString& words);

protected:
    // what: "the transmission record", as the problem names it.
    CRecordFile(const QString& folder, const QByteArray& header, const QString& what, QObject* parent);

    QString PathOf(const QString& name) const;
    // The header goes first into a file that is new or empty. False when
    // the bytes may not all be on the disk.
    bool Append(const QString& name, const QByteArray& bytes);

private:
    void Failed(const QString& path, const QString& reason);
    void Succeeded(const QString& path);

    const QString m_folder;
    const QByteArray m_header;
    const QString m_what;
    QSet<QString> m_told;  // the paths whose problem was told and not yet cleared
};
