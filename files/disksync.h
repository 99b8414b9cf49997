#pragma once
// Through the disk's cache to the disk itself, so a power cut keeps what was
// written: fdatasync on Linux, FlushFileBuffers on Windows.
#include <QFileDevice>
#include <QFile>
#include <QString>

// Opens a record to append to: every write lands at the end, whatever else
// has the file open. On Linux a new record is its owner's alone and a link
// put in its place is not followed into another file. False with why set.
bool OpenRecordForAppend(QFile& file, const QString& path, QString& why);

// The file's bytes, already flushed from Qt's buffer. False with why set
// when they may not be on the disk.
bool SyncFileData(QFileDevice& file, QString& why);

// A new file's name in its folder. False with why set when it may not be
// on the disk.
bool SyncFolderOf(const QString& path, QString& why);
