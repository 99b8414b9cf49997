#include "portchooser/serialdevices.h"

#include <QMap>
#include <QRegularExpression>
#include <windows.h>

namespace {

// COM2 before COM10, as Device Manager lists them.
int PortNumber(const QString& name)
{
    return name.mid(3).toInt();
}

void Note(QMap<int, SerialDevice>& ports, const QString& name, const QString& driverDevice)
{
    static const QRegularExpression comName(QStringLiteral("^COM[0-9]+$"), QRegularExpression::CaseInsensitiveOption);
    if (!comName.match(name).hasMatch())
        return;
    SerialDevice& device = ports[PortNumber(name)];
    device.path = name.toUpper();
    if (device.description.isEmpty() && !driverDevice.isEmpty())
        device.description = QString(driverDevice).remove(QStringLiteral("\\Device\\"));
}

// Every port a driver has announced: the value's name is the driver's
// device (\Device\Serial0, \Device\USBSER000), its data the port's name.
void FromDeviceMap(QMap<int, SerialDevice>& ports)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[64];
        DWORD dataBytes = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = ::RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        data[dataBytes / sizeof(wchar_t)] = L'\0';
        Note(ports, QString::fromWCharArray(data).trimmed(), QString::fromWCharArray(name, int(nameLength)));
    }
    ::RegCloseKey(key);
}

// Ports some virtual-port drivers make without announcing them: every DOS
// device name COM<n>.
void FromDosDevices(QMap<int, SerialDevice>& ports)
{
    std::wstring names(65536, L'\0');
    const DWORD length = ::QueryDosDeviceW(nullptr, names.data(), DWORD(names.size()));
    for (const QString& name : QString::fromWCharArray(names.data(), int(length)).split(QChar(0), Qt::SkipEmptyParts))
        Note(ports, name, QString());
}

} // namespace

QList<SerialDevice> ListSerialDevices(const QString&)
{
    QMap<int, SerialDevice> ports;
    FromDeviceMap(ports);
    FromDosDevices(ports);
    return ports.values();
}
