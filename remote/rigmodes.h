#pragma once
// The radio's four modes as a rig-control client names them, with the
// nominal passband reported for each (the same widths the capabilities
// list as filters), and the data-mode names PKTUSB and PKTLSB, which are
// sideband on this radio. flrig's clients name the same six USB, LSB, AM,
// CW, USB-D and LSB-D.
#include <QByteArray>
#include <QStringList>

struct RigMode {
    char setting;         // the radio's character: '1' USB ... '4' CW
    const char* token;    // the client's name for it
    unsigned hamlibBit;   // its bit in a client's mode masks
    int passbandHz;
    const char* flrigName;
};

extern const RigMode g_rigModes[4];

const RigMode* ModeForSetting(char setting);
// Any of the six names, in any letter case; none for the rest.
const RigMode* ModeForToken(const QByteArray& token);
// The six names in the order of their bits, each followed by a blank, as a
// "?" list gives them.
QByteArray ModeNames();
// The same for flrig's names: any of the six, in any letter case, and the
// list rig.get_modes gives, plain modes first.
const RigMode* ModeForFlrigName(const QString& name);
QStringList FlrigModeNames();
unsigned AllModeBits();
