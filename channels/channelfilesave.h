#pragma once
#include <QByteArray>

// Replaces the channel file with these bytes without ever leaving it half
// written: the new file is written beside it and renamed over it, and the
// file it replaces is kept as h350save.bak. Failures are told to the user.
void WriteChannelFile(const QByteArray& bytes);
