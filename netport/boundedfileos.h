#pragma once
// The operating system's part of the bounded file reader: opening a name
// without being held up by what is behind it, and telling what that is.
// boundedfileos.cpp on Linux, boundedfileos_win.cpp on Windows.
#include <QString>

#include "netport/boundedfile.h"

QString CannotReadNamedFile(const QString& path, const char* what, const QString& why);
QString NamedFileTooLarge(const QString& path, const char* what);
QString NamedFileSeenByOthers(const QString& path, const char* what);

// A regular file of at most kLargestNamedFile bytes, open for reading: -1
// with problem set otherwise. What was checked stays open for the read, so
// it is what is read. Where the system keeps owner-only modes, a file others
// may read or change is refused unless `others` allows it.
qintptr OpenCheckedFile(const QString& path, const char* what, OthersMayRead others, QString& problem);
// Up to size bytes; 0 at the end, -1 with why set on failure.
qint64 ReadCheckedFile(qintptr file, char* into, qint64 size, QString& why);
void CloseCheckedFile(qintptr file);
