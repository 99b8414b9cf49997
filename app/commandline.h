#pragma once
// The program's own options. --help and --version are answered before any
// window exists, so both work without a display.
#include <QStringList>
#include <optional>

#include "remote/rigctlsettings.h"

struct StartOptions {
    RigctlCommandLine rigctl;  // --rigctl-port, --rigctl-address
};

// Parses the arguments. When the run should end here (--help, --version or
// a bad option) it returns no options and sets exitCode.
std::optional<StartOptions> ParseCommandLine(const QStringList& arguments, int& exitCode);
