#include "portchooser/linesettings.h"

#include <QByteArray>

#include "channels/channelfile.h"
#include "channels/channeltable.h"
#include "panel/tavrinview.h"

LineSettings LineSettingsOfChannelFile() { return {g_nBaudRate, g_chParity, g_nDataBits, g_nStopBits}; }

void UseLineSettings(const LineSettings& line, CTavrinView& view)
{
    g_nBaudRate = line.baudRate;
    g_chParity = line.parity;
    g_nDataBits = line.dataBits;
    g_nStopBits = line.stopBits;
    view.m_strSettings = PortSettingsText();
    view.UpdateData(false);
}

// The port's own limits: what it accepts as settings text, with the data
// bits a serial port can have.
QStringList RefusedLineSettings(const LineSettings& line)
{
    QStringList refused;
    if (line.baudRate <= 0)
        refused << QStringLiteral("baud rate %1").arg(line.baudRate);
    if (line.parity == '\0')
        refused << QStringLiteral("no parity letter");
    else if (!QByteArray("NOEMSnoems").contains(line.parity))
        refused << QStringLiteral("parity %1").arg(QLatin1Char(line.parity));
    if (line.dataBits < 5 || line.dataBits > 8)
        refused << QStringLiteral("%1 data bits").arg(line.dataBits);
    if (line.stopBits != 1 && line.stopBits != 2)
        refused << QStringLiteral("%1 stop bits").arg(line.stopBits);
    return refused;
}
