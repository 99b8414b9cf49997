#pragma once
#include <QByteArray>
#include <QString>

// Replaces the channel file with these bytes without ever leaving it half
// written: the new file is written beside it and renamed over it, and the
// file it replaces is kept as h350save.bak. A file the start-up load could
// not read, or whose records were out of place, is first copied once under a
// name of its own, and is left alone if it cannot be. Failures are told to
// the user. False when the file was not replaced.
bool WriteChannelFile(const QByteArray& bytes);

