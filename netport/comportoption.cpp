#include "netport/comportoption.h"

#include <QtEndian>

#include "netport/telnetcodec.h"

using namespace comport;

namespace {

quint8 ParityCode(char parity)
{
    switch (parity) {
    case 'O': return 2;
    case 'E': return 3;
    case 'M': return 4;
    case 'S': return 5;
    default: return 1;
    }
}

quint8 StopSizeCode(const CommSettings& settings)
{
    if (settings.oneAndHalfStopBits)
        return 3;
    return settings.stopBits == 2 ? 2 : 1;
}

QByteArray Byte(quint8 value) { return QByteArray(1, char(value)); }

QString ParityName(quint8 code)
{
    static const char* const names[] = {"asked", "none", "odd", "even", "mark", "space"};
    return code < 6 ? QLatin1String(names[code]) : QString::number(code);
}

} // namespace

QByteArray ComPortCommand(quint8 command, const QByteArray& value)
{
    const char head[] = {char(telnet::kIac), char(telnet::kSb), char(telnet::kComPort), char(command)};
    QByteArray sub(head, sizeof head);
    for (const char c : value) {
        sub += c;
        if (quint8(c) == telnet::kIac)
            sub += c;
    }
    const char tail[] = {char(telnet::kIac), char(telnet::kSe)};
    return sub + QByteArray(tail, sizeof tail);
}

QByteArray ComPortSettings(const CommSettings& settings)
{
    QByteArray baud(4, '\0');
    qToBigEndian(quint32(settings.baudRate), baud.data());
    return ComPortCommand(kSetBaudRate, baud) + ComPortCommand(kSetDataSize, Byte(quint8(settings.dataBits)))
           + ComPortCommand(kSetParity, Byte(ParityCode(settings.parity)))
           + ComPortCommand(kSetStopSize, Byte(StopSizeCode(settings)));
}

QByteArray ComPortDtr(bool on) { return ComPortCommand(kSetControl, Byte(on ? kDtrOn : kDtrOff)); }

QByteArray ComPortRts(bool on) { return ComPortCommand(kSetControl, Byte(on ? kRtsOn : kRtsOff)); }

QString DescribeComPortReply(quint8 command, const QByteArray& value)
{
    const quint8 first = value.isEmpty() ? 0 : quint8(value[0]);
    switch (command) {
    case kServerOffset + kSetBaudRate:
        return value.size() == 4 ? QStringLiteral("baud rate %1").arg(qFromBigEndian<quint32>(value.constData())) : QString();
    case kServerOffset + kSetDataSize: return QStringLiteral("data bits %1").arg(first);
    case kServerOffset + kSetParity: return QStringLiteral("parity %1").arg(ParityName(first));
    case kServerOffset + kSetStopSize: return QStringLiteral("stop size %1").arg(first == 3 ? QStringLiteral("1.5") : QString::number(first));
    case kServerOffset + kSetControl: return QStringLiteral("control %1").arg(first);
    case kServerOffset + kNotifyLineState: return QStringLiteral("line state 0x%1").arg(first, 2, 16, QLatin1Char('0'));
    case kServerOffset + kNotifyModemState: return QStringLiteral("modem state 0x%1").arg(first, 2, 16, QLatin1Char('0'));
    default: return QString();
    }
}
