#pragma once
// --transmissions run in the data folder: the records of the days asked
// for as CSV on standard output, oldest first, as the files hold them. The
// result is the exit status: 0, or 1 when standard output took no bytes.
#include "txlog/transmissionsoptions.h"

int RunTransmissionsCommand(const TransmissionsCommandLine& command);
