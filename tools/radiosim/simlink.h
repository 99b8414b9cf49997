#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace radiosim {

// The simulator's end of the serial line. The model never sees it, so the
// model builds wherever Qt does; only the link knows about pseudo-terminals.
class SimLink : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool open() = 0;
    virtual bool isOpen() const = 0;
    // What the panel opens to reach the radio, e.g. "/dev/pts/7".
    virtual QString portName() const = 0;
    virtual QString errorString() const = 0;
    virtual void write(const QByteArray &bytes) = 0;
    // Pulls the cable: the panel's end sees the device go away.
    virtual void close() = 0;

signals:
    void received(const QByteArray &bytes);
    void closed();
};

} // namespace radiosim
