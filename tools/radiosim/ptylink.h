#pragma once

#include "simlink.h"

#include <QByteArray>
#include <QString>

class QSocketNotifier;

namespace radiosim {

// A pseudo-terminal pair: the simulator holds the master, the panel opens
// the slave path as its serial port.
class PtyLink : public SimLink
{
    Q_OBJECT

public:
    explicit PtyLink(QObject *parent = nullptr);
    ~PtyLink() override;

    bool open() override;
    bool isOpen() const override { return m_master >= 0; }
    QString portName() const override { return m_slavePath; }
    QString errorString() const override { return m_error; }
    void write(const QByteArray &bytes) override;
    void close() override;
    // For a driver that paces its own writes outside an event loop.
    int masterDescriptor() const { return m_master; }

private:
    bool fail(const char *step);
    bool createMaster();
    bool makeRaw();
    bool holdSlave();
    void readMaster();
    void flushPending();
    void watchForRoom(bool on);
    void release();

    int m_master = -1;
    int m_heldSlave = -1;
    QString m_slavePath;
    QString m_error;
    QByteArray m_pending;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
};

} // namespace radiosim
