#include "app/devicebackend.h"

#include "link/mscomm.h"
#include "link/serialbackend.h"
#include "netport/netaddress.h"
#include "netport/netportbackend.h"

DeviceBackend::DeviceBackend() { Use(MakeSerialBackend(), false); }

DeviceBackend::~DeviceBackend() = default;

void DeviceBackend::Use(std::unique_ptr<CommBackend> device, bool network)
{
    if (m_device)
        m_device->Close();
    m_device = std::move(device);
    m_network = network;
    connect(m_device.get(), &CommBackend::ReadyRead, this, &CommBackend::ReadyRead);
    connect(m_device.get(), &CommBackend::Drained, this, &CommBackend::Drained);
    connect(m_device.get(), &CommBackend::Lost, this, &CommBackend::Lost);
    connect(m_device.get(), &CommBackend::OpenFinished, this, &CommBackend::OpenFinished);
    connect(m_device.get(), &CommBackend::OpenRefused, this, &CommBackend::OpenRefused);
}

QString DeviceBackend::Open(const QString& device, const CommSettings& settings)
{
    const bool network = LooksLikeNetAddress(device);
    if (network != m_network) {
        if (network)
            Use(std::make_unique<NetPortBackend>(), true);
        else
            Use(MakeSerialBackend(), false);
    }
    return m_device->Open(device, settings);
}

void UseDeviceBackends()
{
    CMSComm::SetBackendFactory([] { return std::make_unique<DeviceBackend>(); });
}
