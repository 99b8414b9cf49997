#include "txlog/disksync.h"

#include <io.h>
#include <windows.h>

bool SyncFileData(QFile& file, QString& why)
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
