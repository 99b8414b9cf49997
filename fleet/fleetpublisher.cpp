#include "fleet/fleetpublisher.h"

#include <QJsonDocument>
#include <QUuid>

#include "fleet/fleetlog.h"
#include "fleet/fleetsettings.h"
#include "fleet/mqttlink.h"
#include "txlog/transmissioncsv.h"

namespace {

// Tags of what the link delivers: owed messages by their number, and the
// note of what was given up by this one, which no number reaches.
constexpr quint64 kNotSentTag = ~quint64(0);

QByteArray Compact(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); }

} // namespace

CFleetPublisher::CFleetPublisher(const FleetSettings& settings, const QString& outbox, QObject* parent)
    : QObject(parent), m_name(settings.name), m_outboxPath(outbox)
{
    MqttOptions& options = m_options;
    options.broker = *settings.broker;
    // Its own each run: a second program under the same name (a mistake,
    // or an impostor) must not take this one's connection over.
    options.clientId = QStringLiteral("tavrin-%1-%2").arg(m_name, QUuid::createUuid().toString(QUuid::Id128).left(8));
    options.certFile = settings.certFile;
    options.keyFile = settings.keyFile;
    options.caFile = settings.caFile;
    options.will = MqttWill{Topic("status"), QByteArrayLiteral("offline")};
    m_quiet.setParent(this);
    m_quiet.setSingleShot(true);
    connect(&m_quiet, &QTimer::timeout, this, &CFleetPublisher::SendState);
}

CFleetPublisher::~CFleetPublisher() = default;

QByteArray CFleetPublisher::Topic(const char* leaf) const
{
    return QStringLiteral("tavrin/%1/%2").arg(m_name, QLatin1String(leaf)).toUtf8();
}

void CFleetPublisher::Start()
{
    // Made here, so its timers and notifiers belong to this thread.
    m_link = std::make_unique<CMqttLink>(m_options);
    QString why;
    if (!m_outboxPath.isEmpty() && !m_outbox.Open(m_outboxPath, why))
        qCWarning(lcFleet).noquote() << why;
    connect(m_link.get(), &CMqttLink::Connected, this, &CFleetPublisher::OnConnected);
    connect(m_link.get(), &CMqttLink::Delivered, this, &CFleetPublisher::OnDelivered);
    // Kept owed, and tried again at the next connection: the access list
    // may be mended meanwhile.
    connect(m_link.get(), &CMqttLink::Refused, this, [this](quint64 tag, const QString& refusal) {
        if (tag != 0 && tag != kNotSentTag)
            m_inFlight = std::max(0, m_inFlight - 1);
        if (!m_refusalTold)
            qCWarning(lcFleet).noquote() << QStringLiteral("the broker refuses what this station publishes under "
                                                           "tavrin/%1/: %2; its certificate must name it %1")
                                                .arg(m_name, refusal);
        m_refusalTold = true;
    });
    connect(m_link.get(), &CMqttLink::Lost, this, [this](const QString& lostWhy) {
        m_inFlight = 0;
        m_inFlightUpTo = 0;
        m_notSentTelling = 0;
        qCWarning(lcFleet).noquote() << "fleet broker:" << lostWhy;
    });
    m_link->Start();
}

void CFleetPublisher::OnConnected()
{
    m_since = QDateTime::currentDateTimeUtc();
    qCInfo(lcFleet).noquote() << "publishing as" << m_name;
    m_link->Publish(Topic("status"), QByteArrayLiteral("online"), 1, true);
    SendState();
    SendOwed();
}

void CFleetPublisher::Publish(const StationState& state)
{
    if (m_haveState && state == m_state)
        return;
    m_state = state;
    m_haveState = true;
    SendState();
}

void CFleetPublisher::SendState()
{
    m_quiet.start(kLongestQuietMs);
    if (!m_haveState || !m_link || !m_link->IsConnected())
        return;
    // QoS 0: the broker keeps the latest, and a state lost with a
    // connection is sent again as the next one begins; no acknowledgement
    // costs the station a wakeup per state.
    m_link->Publish(Topic("state"), Compact(m_state.ToJson(QDateTime::currentDateTimeUtc(), m_since)), 0, true);
}

void CFleetPublisher::Record(const QString& topic, const QJsonObject& line)
{
    m_outbox.Add(topic, line);
    SendOwed();
}

// In order: what was given up is told first, then the oldest owed, a
// window of them at a time.
void CFleetPublisher::SendOwed()
{
    if (!m_link || !m_link->IsConnected())
        return;
    if (m_outbox.NotSent() > 0 && m_notSentTelling == 0) {
        m_notSentTelling = m_outbox.NotSent();
        const QStringList fields = {UtcText(QDateTime::currentDateTimeUtc()),
                                    QStringLiteral("%1 record lines not sent: the outbox was full while the broker "
                                                   "could not be reached; the station's own record holds them")
                                        .arg(m_notSentTelling),
                                    QString(), QStringLiteral("fleet")};
        const QJsonObject note{{QStringLiteral("time_utc"), fields.at(0)}, {QStringLiteral("event"), fields.at(1)},
                               {QStringLiteral("address"), fields.at(2)}, {QStringLiteral("name"), fields.at(3)}};
        m_link->Publish(Topic("access"), Compact(note), 1, false, kNotSentTag);
    }
    for (auto it = m_outbox.Owed().upper_bound(m_inFlightUpTo);
         it != m_outbox.Owed().end() && m_inFlight < kMostInFlight; ++it) {
        if (!m_link->Publish(Topic(it->second.topic.toUtf8().constData()), Compact(it->second.payload), 1, false,
                             it->first))
            return;
        m_inFlightUpTo = it->first;
        ++m_inFlight;
    }
}

void CFleetPublisher::OnDelivered(quint64 tag)
{
    if (tag == 0)
        return;
    if (tag == kNotSentTag) {
        m_outbox.NotSentTold(m_notSentTelling);
        m_notSentTelling = 0;
        return;
    }
    m_outbox.Sent(tag);
    m_inFlight = std::max(0, m_inFlight - 1);
    SendOwed();
}
