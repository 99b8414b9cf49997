#include "portchooser/serialdevices.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace {

SerialDevice FromInfo(const QSerialPortInfo& info)
{
    return {info.systemLocation(), info.description(), info.manufacturer()};
}

QList<SerialDevice> PortsQtFinds()
{
    QList<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << FromInfo(info);
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.path < b.path; });
    return devices;
}

// A stable name tells what it is in its own words; where Qt knows the
// device it leads to, its description and maker go with it.
SerialDevice StableName(const QFileInfo& link, const QList<SerialDevice>& known)
{
    const QString target = link.canonicalFilePath();
    SerialDevice device{link.absoluteFilePath(), QStringLiteral("stable name of %1").arg(target), QString()};
    for (const SerialDevice& port : known) {
        if (port.path != target)
            continue;
        if (!port.description.isEmpty())
            device.description = QStringLiteral("%1, %2").arg(port.description, device.description);
        device.maker = port.maker;
    }
    return device;
}

} // namespace

QList<SerialDevice> ListSerialDevices(const QString& byIdDir)
{
    const QList<SerialDevice> known = PortsQtFinds();
    QList<SerialDevice> devices;
    const QDir byId(byIdDir);
    const auto entries = byId.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : entries) {
        if (link.isSymLink() && link.exists()) // a name left by a device that is gone leads nowhere
            devices << StableName(link, known);
    }
    return devices + known;
}
