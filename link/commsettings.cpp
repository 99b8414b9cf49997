#include "link/commsettings.h"

#include <QList>
#include <QSettings>

const char* const g_szRegistryKey = "Local AppWizard-Generated Applications";
const char* const g_szProfileName = "Tavrin";

namespace {

std::optional<int> ParseNumber(const QByteArray& field)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

bool ParseStopBits(const QByteArray& field, CommSettings& settings)
{
    const QByteArray text = field.trimmed();
    if (text == "1.5") {
        settings.stopBits = 1;
        settings.oneAndHalfStopBits = true;
        return true;
    }
    const auto stop = ParseNumber(text);
    if (!stop || (*stop != 1 && *stop != 2))
        return false;
    settings.stopBits = *stop;
    return true;
}

QString PortKey(int port) { return QStringLiteral("Ports/COM%1").arg(port); }

QString& DeviceForEveryPort()
{
    static QString device;
    return device;
}

} // namespace

std::optional<CommSettings> ParseCommSettings(const CString& text)
{
    const QList<QByteArray> fields = text.split(',');
    if (fields.size() != 4)
        return std::nullopt;
    CommSettings settings;
    const auto baud = ParseNumber(fields[0]);
    const auto bits = ParseNumber(fields[2]);
    const QByteArray parity = fields[1].trimmed().toUpper();
    if (!baud || *baud <= 0 || !bits || *bits < 4 || *bits > 8)
        return std::nullopt;
    if (parity.size() != 1 || !QByteArray("NOEMS").contains(parity[0]))
        return std::nullopt;
    settings.baudRate = *baud;
    settings.parity = parity[0];
    settings.dataBits = *bits;
    if (!ParseStopBits(fields[3], settings))
        return std::nullopt;
    return settings;
}

void SetDeviceForEveryPort(const QString& device) { DeviceForEveryPort() = device; }

bool EveryPortLeadsToOneDevice() { return !DeviceForEveryPort().isEmpty(); }

QString DeviceForCommPort(int port)
{
    if (EveryPortLeadsToOneDevice())
        return DeviceForEveryPort();
    const QSettings profile(QString::fromLatin1(g_szRegistryKey), QString::fromLatin1(g_szProfileName));
    const QString mapped = profile.value(PortKey(port)).toString();
    if (!mapped.isEmpty())
        return mapped;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

void SetDeviceForCommPort(int port, const QString& device)
{
    QSettings profile(QString::fromLatin1(g_szRegistryKey), QString::fromLatin1(g_szProfileName));
    profile.setValue(PortKey(port), device);
}
