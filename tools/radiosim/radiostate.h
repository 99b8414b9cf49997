#pragma once

#include <QByteArray>

namespace radiosim {

// Everything the simulated radio remembers. Setting characters are the ones
// the radio uses on the wire, so a state can be compared with a report
// without any translation.
struct RadioState
{
    int frequency10Hz = 703525;   // 7035.25 kHz; the radio tunes in 10 Hz steps
    char mode = '1';              // '1' USB, '2' LSB, '3' AM, '4' CW
    char agc = '2';               // '1' Off, '2' Slow, '3' Medium, '4' Fast
    char audioInput = '1';        // '1' Mic, '2' Audio2, '3' Patch
    char vox = '0';               // '0' Off, '1' Voice, '2' Data
    char meter = '1';             // '1' Audio ... '6' VSWR
    char amplifier = '1';         // '1' off, '2' powered, '3' ready, '4' operating
    bool ampTuning = false;
    bool sideTone = false;
    bool clipping = false;
    bool muted = false;
    bool extPtt = false;
    bool localAudio = false;
    bool bpfOff = false;
    bool keyed = false;
    QByteArray rfGain = "99";     // two characters, as the panel typed them
    QByteArray bfoCode = "100";   // "000".."200"; "100" means no offset
    // A radio with direct commands reports its RF gain; the panel takes the
    // first 'G' field as proof and stops stepping mode and AGC.
    bool directMode = false;

    static constexpr int maxFrequency10Hz = 9999999;

    double frequencyKHz() const { return frequency10Hz / 100.0; }
    void setFrequencyKHz(double kHz);
    QByteArray frequencyDigits() const;
};

bool operator==(const RadioState &a, const RadioState &b);
inline bool operator!=(const RadioState &a, const RadioState &b) { return !(a == b); }

} // namespace radiosim
