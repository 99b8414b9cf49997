#include "remote/rigmodes.h"

#include <cstring>

const RigMode g_rigModes[4] = {
    {'1', "USB", 0x4, 2400},
    {'2', "LSB", 0x8, 2400},
    {'3', "AM", 0x1, 6000},
    {'4', "CW", 0x2, 500},
};

const RigMode* ModeForSetting(char setting)
{
    for (const RigMode& mode : g_rigModes)
        if (mode.setting == setting)
            return &mode;
    return nullptr;
}

std::optional<char> SettingForToken(const QByteArray& token)
{
    if (token == "PKTUSB")
        return '1';
    if (token == "PKTLSB")
        return '2';
    for (const RigMode& mode : g_rigModes)
        if (token == mode.token)
            return mode.setting;
    return std::nullopt;
}

unsigned AllModeBits()
{
    unsigned bits = 0;
    for (const RigMode& mode : g_rigModes)
        bits |= mode.hamlibBit;
    return bits;
}
