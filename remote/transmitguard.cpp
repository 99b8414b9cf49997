#include "remote/transmitguard.h"

#include <QLoggingCategory>

#include "remote/rigseam.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

CTransmitGuard::CTransmitGuard(CRigSeam& rig, QObject* parent) : QObject(parent), m_rig(rig)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDefaultTimeout);
    connect(&m_timer, &QTimer::timeout, this, [this] { Unkey("transmit time-out"); });
}

void CTransmitGuard::Keyed(const QObject* client)
{
    if (!m_keyer)
        m_timer.start();
    m_keyer = client;
}

void CTransmitGuard::Unkeyed()
{
    m_keyer = nullptr;
    m_timer.stop();
}

void CTransmitGuard::ClientGone(const QObject* client)
{
    if (client == m_keyer)
        Unkey("the client that keyed the transmitter went away");
}

void CTransmitGuard::Release()
{
    if (m_keyer)
        Unkey("the server stopped");
}

void CTransmitGuard::Unkey(const char* why)
{
    m_keyer = nullptr;
    m_timer.stop();
    qCWarning(lcRemote) << why << "- back to receive";
    m_rig.Unkey();
}
