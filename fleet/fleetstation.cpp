#include "fleet/fleetstation.h"

#include "fleet/fleetpublisher.h"
#include "fleet/fleetsettings.h"
#include "fleet/stationsource.h"

CFleetStation::CFleetStation(CStationSource& source, const FleetSettings& settings, const QString& outboxPath)
    : m_source(source), m_publisher(new CFleetPublisher(settings, outboxPath))
{
    m_thread.setObjectName(QStringLiteral("fleet"));
    m_publisher->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(m_publisher, &CFleetPublisher::Start, Qt::QueuedConnection);
    m_look.setSingleShot(true);
    QObject::connect(&m_look, &QTimer::timeout, &m_context, [this] { Look(); });
    QObject::connect(&source, &CStationSource::MayHaveChanged, &m_context, [this] { MayHaveChanged(); });
    QObject::connect(&source, &CStationSource::Recorded, m_publisher,
                     [publisher = m_publisher](const QString& topic, const QJsonObject& line) {
                         publisher->Record(topic, line);
                     });
    Look();
}

// The connection ends with the publisher, and the broker tells the
// station's last will, "offline"; the outbox keeps what is still owed for
// the next start.
CFleetStation::~CFleetStation()
{
    QObject::disconnect(&m_source, nullptr, m_publisher, nullptr);
    QMetaObject::invokeMethod(m_publisher, [publisher = m_publisher] { delete publisher; },
                              Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void CFleetStation::MayHaveChanged()
{
    if (m_look.isActive())
        return;
    const qint64 since = m_sinceLook.isValid() ? m_sinceLook.elapsed() : kLeastGapMs;
    m_look.start(int(std::max<qint64>(0, kLeastGapMs - since)));
}

void CFleetStation::Look()
{
    m_sinceLook.start();
    const StationState now = m_source.Now();
    if (m_toldAny && now == m_told)
        return;
    m_told = now;
    m_toldAny = true;
    QMetaObject::invokeMethod(m_publisher, [publisher = m_publisher, now] { publisher->Publish(now); },
                              Qt::QueuedConnection);
}
