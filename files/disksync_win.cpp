#include "files/disksync.h"

#include <io.h>
#include <windows.h>

// The data folder under the user's profile keeps others out by its access
// list, which a new file takes on.
bool OpenRecordForAppend(QFile& file, const QString& path, QString& why)
{
    file.setFileName(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    why = file.errorString();
    return false;
}

bool SyncFileData(QFileDevice& file, QString& why)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    if (handle != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle))
        return true;
    why = qt_error_string(int(::GetLastError()));
    return false;
}

// NTFS journals a new file's name with the folder: flushing the file's own
// handle brings the entry along.
bool SyncFolderOf(const QString&, QString&) { return true; }
