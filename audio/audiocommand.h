#pragma once
// --list-audio, and the check that --audio-in and --audio-out name devices
// this computer has, both before any window.
#include <QString>

#include "audio/audiosettings.h"

// Prints "in  DESCRIPTION  (id ID)" and "out DESCRIPTION  (id ID)", a
// device a line, and
// returns the exit status. Makes its own application object.
int RunListAudioCommand(int argc, char* argv[]);

// With an application object: false, with problem set as a sentence, when
// an option names no device (or several); otherwise the named devices are
// kept in the profile for later starts.
bool CheckAudioCommandLine(const AudioCommandLine& named, QString& problem);
