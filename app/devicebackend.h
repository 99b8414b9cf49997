#pragma once
// The one place where the name of the radio's port decides what drives it:
// a URL is a radio on the network, anything else a serial device. The link
// is handed it through its factory seam and never knows which of the two
// it has.
#include <memory>

#include "link/commbackend.h"

class DeviceBackend : public CommBackend {
    Q_OBJECT
public:
    DeviceBackend();
    ~DeviceBackend() override;

    QString Open(const QString& device, const CommSettings& settings) override;
    void Close() override { m_device->Close(); }
    bool IsOpen() const override { return m_device->IsOpen(); }
    bool IsOpening() const override { return m_device->IsOpening(); }
    QString Apply(const CommSettings& settings) override { return m_device->Apply(settings); }
    QString SetDtr(bool on) override { return m_device->SetDtr(on); }
    QString SetRts(bool on) override { return m_device->SetRts(on); }
    QString Write(const QByteArray& bytes) override { return m_device->Write(bytes); }
    QByteArray ReadAll() override { return m_device->ReadAll(); }

private:
    void Use(std::unique_ptr<CommBackend> device, bool network);

    std::unique_ptr<CommBackend> m_device;
    bool m_network = false;
};

// Every communications control made from now on drives its port through a
// DeviceBackend.
void UseDeviceBackends();
