#include "txlog/recordfile.h"

#include <QFile>
#include <QFileInfo>

#include "files/disksync.h"

Q_LOGGING_CATEGORY(lcTxLog, "tavrin.txlog", QtInfoMsg)

namespace {
// The bytes are in the file even when its folder cannot be synced, so that
// is only logged: told as a failed write, the record would be written a
// second time.
void SyncFolderLogged(const QString& path)
{
    QString why;
    if (!SyncFolderOf(path, why))
        qCWarning(lcTxLog).noquote() << QStringLiteral("the folder of %1 cannot be synced: %2").arg(path, why);
}

// The bytes written, flushed and synced: false with why set otherwise.
bool AppendToDisk(const QString& path, const QByteArray& header, const QByteArray& bytes, QString& why)
{
    QFile file;
    if (!OpenRecordForAppend(file, path, why))
        return false;
    const bool fresh = file.size() == 0;
    const QByteArray text = fresh ? header + bytes : bytes;
    if (file.write(text) != text.size() || !file.flush()) {
        why = file.errorString();
        return false;
    }
    if (!SyncFileData(file, why))
        return false;
    if (fresh)
        SyncFolderLogged(path);
    return true;
}

} // namespace

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
