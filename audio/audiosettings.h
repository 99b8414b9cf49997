#pragma once
// Which sound-card input carries the receiver's audio and which output
// feeds the transmitter's microphone input. The profile keeps both under
// [Audio]; --audio-in and --audio-out change them for later starts too.
#include <QString>

struct AudioCommandLine {
    bool list = false;  // --list-audio: print the devices, no window
    QString input;      // --audio-in, empty: as the profile says
    QString output;     // --audio-out, empty: as the profile says
};

struct AudioSettings {
    QString input;   // a description or id; empty: the system's default
    QString output;
};

// The profile's choice, with what this run's options name instead.
AudioSettings LoadAudioSettings(const AudioCommandLine& forThisRun = {});
// Keeps what the options named, once it was found among the devices.
// False, with problem set, when the profile could not be written.
// With clearEmpty, an empty name goes back to the system's default.
bool KeepAudioSettings(const AudioCommandLine& named, QString& problem, bool clearEmpty = false);
