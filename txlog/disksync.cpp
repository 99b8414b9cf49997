#include "txlog/disksync.h"

#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool SyncFileData(QFile& file, QString& why)
{
    if (::fdatasync(file.handle()) == 0)
        return true;
    why = qt_error_string(errno);
    return false;
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
