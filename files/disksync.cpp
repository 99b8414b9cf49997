#include "files/disksync.h"

#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool OpenRecordForAppend(QFile& file, const QString& path, QString& why)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd >= 0 && file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle))
        return true;
    why = fd < 0 ? qt_error_string(errno) : file.errorString();
    if (fd >= 0)
        ::close(fd);
    return false;
}

bool SyncFileData(QFileDevice& file, QString& why)
{
    while (::fdatasync(file.handle()) != 0) {
        if (errno != EINTR) {
            why = qt_error_string(errno);
            return false;
        }
    }
    return true;
}

// On Linux a new file's name is in its folder only once the folder is
// synced too.
bool SyncFolderOf(const QString& path, QString& why)
{
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    const bool synced = folder >= 0 && ::fsync(folder) == 0;
    if (!synced)
        why = qt_error_string(errno);
    if (folder >= 0)
        ::close(folder);
    return synced;
}
