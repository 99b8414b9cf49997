#pragma once

#include <QString>

namespace radiosim {

// A name that leads to the radio's current pty, as udev keeps a
// /dev/serial/by-id name for a USB adapter: it is there while the device
// is, gone while it is unplugged, and back, leading to whatever device the
// adapter got this time, when it is plugged in again.
class StableDeviceName
{
public:
    StableDeviceName() = default;
    ~StableDeviceName() { remove(); }
    StableDeviceName(const StableDeviceName &) = delete;
    StableDeviceName &operator=(const StableDeviceName &) = delete;

    void setPath(const QString &path) { m_path = path; }
    QString path() const { return m_path; }

    // Makes the name lead to device.
    bool pointAt(const QString &device, QString &error);
    // Takes the name away, if it is still the one this object made.
    void remove();

private:
    QString m_path;
    QString m_target;
};

} // namespace radiosim
