#pragma once

#include "faultinjector.h"
#include "radiostate.h"

#include <QString>
#include <QStringList>

namespace radiosim {

// What the command line asks of the simulator.
struct SimOptions
{
    RadioState initial;
    FaultSettings outgoing;
    FaultSettings incoming;
    int registerPort = 0;          // 0: leave the panel's settings alone
    bool writeChannelFile = false;
    QString stateFile;
    double disconnectAfterS = 0;   // 0: never
    double reconnectAfterS = 0;    // 0: a disconnect ends the simulator
    QString linkPath;              // a stable name leading to the pty
};

// Fills options from the arguments; on a bad value returns false with a
// message in error. --help and --version exit from inside.
bool parseOptions(const QStringList &arguments, SimOptions &options, QString &error);

} // namespace radiosim
