#pragma once
// The web panel's operators kept from the command line, in the data folder
// and with no window. The result is the program's exit status: 0 when it
// worked, 1 when the operator file could not be read or written, 2 for a
// request that cannot be met (and standard error says why).
#include "web/operatorsoptions.h"

int RunOperatorsCommand(const OperatorsCommandLine& command);
