#pragma once

#include <QByteArray>
#include <QString>

namespace radiosim {

// An h350save.dat for trying the panel against the simulator: line 1 names
// the port the panel should open, a few channels are stored and the rest of
// the 300 slots are empty, exactly as the panel itself writes them.
namespace SampleChannelFile {

constexpr int slotCount = 300;

QByteArray contents(int commPort);
// Leaves an existing file alone: it holds someone's channels.
bool writeIfMissing(const QString &path, int commPort);

} // namespace SampleChannelFile
} // namespace radiosim
