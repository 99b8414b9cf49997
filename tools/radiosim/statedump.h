#pragma once

#include "radiostate.h"

#include <QByteArray>
#include <QString>

namespace radiosim {

// The radio's state as "key=value" lines, for scripts that check what the
// panel made the radio do without parsing reports themselves.
namespace StateDump {

QByteArray text(const RadioState &state, int commandsHandled);
// Replaces the file in one step, so a reader never sees half a dump.
bool write(const QString &path, const RadioState &state, int commandsHandled);

} // namespace StateDump
} // namespace radiosim
