#pragma once
// The command-line export and import, run in the data folder with no
// window: the channel file is read as the panel reads it at start-up and
// an import writes it as a save does, with its backup. The result is the
// program's exit status: 0 when it worked, 1 when it did not (and
// standard error says why).
#include "channeleditor/channelsoptions.h"

int RunChannelsCommand(const ChannelsCommandLine& command);
