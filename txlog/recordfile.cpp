#include "txlog/recordfile.h"

#include <QFile>
#include <cerrno>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcTxLog, "tavrin.txlog", QtInfoMsg)

bool AppendToDisk(const QString& path, const QByteArray& header, const QByteArray& bytes, QString& why)
{
    // Append mode is O_APPEND: every write lands at the end, whatever else
    // has the file open.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        why = file.errorString();
        return false;
    }
    const QByteArray text = file.size() == 0 ? header + bytes : bytes;
    if (file.write(text) != text.size() || !file.flush()) {
        why = file.errorString();
        return false;
    }
    // Through the disk's cache too, so a power cut keeps what was written.
    if (::fdatasync(file.handle()) != 0) {
        why = qt_error_string(errno);
        return false;
    }
    return true;
}

CRecordFile::CRecordFile(const QString& folder, const QByteArray& header, const QString& what, QObject* parent)
    : QObject(parent), m_folder(folder == QLatin1String(".") ? QString() : folder), m_header(header), m_what(what)
{
}

QString CRecordFile::PathOf(const QString& name) const
{
    return m_folder.isEmpty() ? name : m_folder + QLatin1Char('/') + name;
}

bool CRecordFile::Append(const QString& name, const QByteArray& bytes)
{
    const QString path = PathOf(name);
    QString why;
    if (!AppendToDisk(path, m_header, bytes, why)) {
        Failed(path, why);
        return false;
    }
    Succeeded(path);
    return true;
}

void CRecordFile::Failed(const QString& path, const QString& reason)
{
    if (m_told.contains(path))
        return;
    m_told.insert(path);
    const QString words = QStringLiteral("cannot write %1 %2: %3").arg(m_what, path, reason);
    qCWarning(lcTxLog).noquote() << words;
    emit Problem(words);
}

void CRecordFile::Succeeded(const QString& path)
{
    if (m_told.remove(path) && m_told.isEmpty())
        emit Problem(QString());
}
