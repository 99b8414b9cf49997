#pragma once
// The program's own options. --help and --version are answered before any
// window exists, so both work without a display.
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "channeleditor/channelsoptions.h"
#include "remote/rigctlsettings.h"
#include "txlog/transmissionsoptions.h"

struct StartOptions {
    // The folder to work in (and keep the channel file in); empty: the
    // folder the program was started in.
    QString dataDir;
    QString traceFile;  // --trace FILE: the serial trace is appended there
    RigctlCommandLine rigctl;  // --rigctl-port, --rigctl-address
    RigctlCommandLine flrig;   // --flrig-port, --flrig-address
    ChannelsCommandLine channels;  // --export-channels, --import-channels: no window
    TransmissionsCommandLine transmissions;  // --transmissions, --since, --until: no window
    // The web panel's, its operators' and its sound's options, where the
    // build has them (app/webpart.h).
    std::shared_ptr<const struct WebPartCommandLine> webPart;
    // --headless: no window and no display, for a station computer nobody sits at.
    bool headless = false;
    QString port;  // --port: the radio's device path or network address, this run only
};

// Parses the arguments. When the run should end here (--help, --version or
// a bad option) it returns no options and sets exitCode.
std::optional<StartOptions> ParseCommandLine(const QStringList& arguments, int& exitCode);
