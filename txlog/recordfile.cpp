#include "txlog/recordfile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcTxLog, "tavrin.txlog", QtInfoMsg)

namespace {
// A new file's name is in its folder only once the folder is synced too.
// The bytes are in the file either way, so a failure here is only logged:
// told as a failed write, the record would be written a second time.
void SyncFolderOf(const QString& path)
{
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder < 0 || ::fsync(folder) != 0)
        qCWarning(lcTxLog).noquote() << QStringLiteral("the folder of %1 cannot be synced: %2").arg(path, qt_error_string(errno));
    if (folder >= 0)
        ::close(folder);
}

// The bytes written, flushed and synced: false with why set otherwise.
bool AppendToDisk(const QString& path, const QByteArray& header, const QByteArray& bytes, QString& why)
{
    // O_APPEND: every write lands at the end, whatever else has the file
    // open. A new record is its owner's alone, and a link put in its place
    // is not followed into another file.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) {
        why = fd < 0 ? qt_error_string(errno) : file.errorString();
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    const bool fresh = file.size() == 0;
    const QByteArray text = fresh ? header + bytes : bytes;
    if (file.write(text) != text.size() || !file.flush()) {
        why = file.errorString();
        return false;
    }
    // Through the disk's cache too, so a power cut keeps what was written.
    if (::fdatasync(file.handle()) != 0) {
        why = qt_error_string(errno);
        return false;
    }
    if (fresh)
        SyncFolderOf(path);
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
