#pragma once
// The serial devices present, for the user to choose the radio's port from.
#include <QList>
#include <QString>

struct SerialDevice {
    QString path;
    QString description;
    QString maker;
};

// The stable names under byIdDir first (they survive unplugging and
// plugging back, and Qt does not list them), then every port Qt finds.
QList<SerialDevice> ListSerialDevices(const QString& byIdDir = QStringLiteral("/dev/serial/by-id"));
