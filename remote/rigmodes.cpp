#include "remote/rigmodes.h"

#include <array>

const RigMode g_rigModes[4] = {
    {'1', "USB", 0x4, 2400, "USB"},
    {'2', "LSB", 0x8, 2400, "LSB"},
    {'3', "AM", 0x1, 6000, "AM"},
    {'4', "CW", 0x2, 500, "CW"},
};

namespace {

const RigMode kDataModes[2] = {
    {'2', "PKTLSB", 0x400, 2400, "LSB-D"},
    {'1', "PKTUSB", 0x800, 2400, "USB-D"},
};

// Every name a client may use, in the order of their bits.
const std::array<const RigMode*, 6> kNamedModes = {&g_rigModes[2], &g_rigModes[3], &g_rigModes[0],
                                                   &g_rigModes[1], &kDataModes[0], &kDataModes[1]};

} // namespace

const RigMode* ModeForSetting(char setting)
{
    for (const RigMode& mode : g_rigModes)
        if (mode.setting == setting)
            return &mode;
    return nullptr;
}

const RigMode* ModeForToken(const QByteArray& token)
{
    for (const RigMode* mode : kNamedModes)
        if (token.compare(mode->token, Qt::CaseInsensitive) == 0)
            return mode;
    return nullptr;
}

QByteArray ModeNames()
{
    QByteArray names;
    for (const RigMode* mode : kNamedModes)
        names += QByteArray(mode->token) + ' ';
    return names;
}

const RigMode* ModeForFlrigName(const QString& name)
{
    for (const RigMode* mode : kNamedModes)
        if (name.compare(QLatin1String(mode->flrigName), Qt::CaseInsensitive) == 0)
            return mode;
    return nullptr;
}

// Without USB-D and LSB-D in the list, a client's data mode asks for a mode
// the list lacks (WSJT-X then sends "ERROR").
QStringList FlrigModeNames()
{
    QStringList names;
    for (const RigMode& mode : g_rigModes)
        names << QLatin1String(mode.flrigName);
    names << QLatin1String(kDataModes[1].flrigName) << QLatin1String(kDataModes[0].flrigName);
    return names;
}

unsigned AllModeBits()
{
    unsigned bits = 0;
    for (const RigMode& mode : g_rigModes)
        bits |= mode.hamlibBit;
    return bits;
}
