#pragma once
// COM-PORT-OPTION (RFC 2217): the line settings and modem lines of the
// serial port at the far end, as telnet sub-negotiations. The far end
// answers each command with its number plus 100 and the value it set.
#include <QByteArray>
#include <QString>

#include "link/commsettings.h"

namespace comport {
constexpr quint8 kSetBaudRate = 1, kSetDataSize = 2, kSetParity = 3, kSetStopSize = 4, kSetControl = 5;
constexpr quint8 kNotifyLineState = 6, kNotifyModemState = 7;
constexpr quint8 kServerOffset = 100;
constexpr quint8 kDtrOn = 8, kDtrOff = 9, kRtsOn = 11, kRtsOff = 12;
} // namespace comport

// IAC SB 44 command value IAC SE, a 255 in the value doubled.
QByteArray ComPortCommand(quint8 command, const QByteArray& value);

// Baud rate, data size, parity and stop size, in that order.
QByteArray ComPortSettings(const CommSettings& settings);
QByteArray ComPortDtr(bool on);
QByteArray ComPortRts(bool on);

// What the far end's command says, for the trace: "baud rate 9600",
// "modem state 0x30". Empty for a command the panel has no words for.
QString DescribeComPortReply(quint8 command, const QByteArray& value);
