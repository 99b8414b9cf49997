#pragma once
// Through the disk's cache to the disk itself, so a power cut keeps what was
// written: fdatasync on Linux, FlushFileBuffers on Windows.
#include <QFile>
#include <QString>

// The file's bytes, already flushed from Qt's buffer. False with why set
// when they may not be on the disk.
bool SyncFileData(QFile& file, QString& why);

// A new file's name in its folder. False with why set when it may not be
// on the disk.
bool SyncFolderOf(const QString& path, QString& why);
