#pragma once
// The radio's four modes as a rig-control client names them, with the
// nominal passband reported for each (the same widths the capabilities
// list as filters), and the data-mode names PKTUSB and PKTLSB, which are
// sideband on this radio.
#include <QByteArray>

struct RigMode {
    char setting;         // the radio's character: '1' USB ... '4' CW
    const char* token;    // the client's name for it
    unsigned hamlibBit;   // its bit in a client's mode masks
    int passbandHz;
};

extern const RigMode g_rigModes[4];

const RigMode* ModeForSetting(char setting);
// Any of the six names, in any letter case; none for the rest.
const RigMode* ModeForToken(const QByteArray& token);
// The six names in the order of their bits, each followed by a blank, as a
// "?" list gives them.
QByteArray ModeNames();
unsigned AllModeBits();
