#pragma once
// The serial devices present, for the user to choose the radio's port from.
#include <QList>
#include <QString>

struct SerialDevice {
    QString path;
    QString description;
    QString maker;
};

// On Linux, the stable names under byIdDir first (they survive unplugging
// and plugging back, and Qt does not list them), then every port Qt finds.
// On Windows, which has no such folder, the COM ports it has, in order.
QList<SerialDevice> ListSerialDevices(const QString& byIdDir = QStringLiteral("/dev/serial/by-id"));
