#pragma once
// The serial line's settings as line 1 of the channel file carries them:
// baud rate, parity letter, data bits, stop bits.
#include <QStringList>

class CTavrinView;

struct LineSettings {
    int baudRate = 9600;
    char parity = 'O';
    int dataBits = 7;
    int stopBits = 1;
};

// What line 1 of the channel file says now.
LineSettings LineSettingsOfChannelFile();

// Line 1 says this from now on (written at the next save), and the panel
// opens the port with it from the next open.
void UseLineSettings(const LineSettings& line, CTavrinView& view);

// Each setting a serial port refuses, in the user's words ("parity X"); empty
// when the port takes them all.
QStringList RefusedLineSettings(const LineSettings& line);
