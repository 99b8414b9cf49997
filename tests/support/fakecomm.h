#pragma once
// A stand-in for the serial device: records every write and lets a test
// play the radio by injecting bytes.
#include <QByteArrayList>
#include <QStringList>

#include "link/commbackend.h"

class FakeCommBackend : public CommBackend {
    Q_OBJECT
public:
    QString Open(const QString& device, const CommSettings& settings) override;
    void Close() override
    {
        if (m_open || m_opening)
            calls << QStringLiteral("close");
        m_open = m_opening = false;
    }
    bool IsOpen() const override { return m_open; }
    bool IsOpening() const override { return m_opening; }
    QString Apply(const CommSettings& settings) override;
    QString SetDtr(bool on) override;
    QString SetRts(bool on) override;
    QString Write(const QByteArray& bytes) override;
    QByteArray ReadAll() override;

    void Inject(const QByteArray& bytes);  // the radio sends these, in one chunk
    void Vanish();                         // the device is unplugged
    void FinishOpen(const QString& failure = QString());  // with openLater: the open ends
    void RefuseOpen(const QString& why);  // with openLater: the far end turns the panel away

    QStringList calls;   // every call that reaches the device, in order
    QByteArrayList writes;
    QStringList openedDevices;
    QList<bool> dtrWrites;
    QList<bool> rtsWrites;
    CommSettings applied;
    bool failOpen = false;
    bool openLater = false;  // opens as a network port does, after Open() returned

private:
    bool m_open = false;
    bool m_opening = false;
    bool m_drainPending = false;
    QByteArray m_pending;
};

// Every view made while this lives talks to a FakeCommBackend; the latest
// one is reachable through Latest().
class FakeCommInstaller {
public:
    FakeCommInstaller();
    ~FakeCommInstaller();
    static FakeCommBackend* Latest();
};
