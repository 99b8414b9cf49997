#include "fleet/mqttlink.h"

#include <QRandomGenerator>
#include <QSocketNotifier>
#include <mosquitto.h>
#include <mutex>

#include "fleet/fleetlog.h"

Q_LOGGING_CATEGORY(lcFleet, "tavrin.fleet")

namespace {

// The keep-alive wants far less; this also catches anything the TLS layer
// held back without the socket saying so.
constexpr int kMiscMs = 1000;
// Read until the socket (and the TLS layer) has nothing more.
constexpr int kPacketsPerRead = 1000;
// TLS 1.2's forward-secret AEAD suites; TLS 1.3 has only such suites.
const char* const kCiphers =
    "ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-RSA-AES128-GCM-SHA256:ECDHE-ECDSA-AES256-GCM-SHA384:"
    "ECDHE-RSA-AES256-GCM-SHA384:ECDHE-ECDSA-CHACHA20-POLY1305:ECDHE-RSA-CHACHA20-POLY1305:"
    "DHE-RSA-AES128-GCM-SHA256:DHE-RSA-AES256-GCM-SHA384:DHE-RSA-CHACHA20-POLY1305";

void InitLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QByteArray Local(const QString& path) { return path.toLocal8Bit(); }

const char* OrNull(const QByteArray& bytes) { return bytes.isEmpty() ? nullptr : bytes.constData(); }

QString Words(int rc)
{
    return rc == MOSQ_ERR_ERRNO ? qt_error_string(errno) : QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

CMqttLink::CMqttLink(MqttOptions options, QObject* parent) : QObject(parent), m_options(std::move(options))
{
    InitLibrary();
    m_misc.setParent(this);
    m_retry.setParent(this);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &CMqttLink::Attempt);
    connect(&m_misc, &QTimer::timeout, this, [this] {
        if (!m_client)
            return;
        Call([this] { return mosquitto_loop_misc(m_client); });
        if (m_client)
            Call([this] { return mosquitto_loop_read(m_client, kPacketsPerRead); });
    });
}

CMqttLink::~CMqttLink() { TearDown(); }

void CMqttLink::Start() { Attempt(); }

bool CMqttLink::Prepare(QString& why)
{
    m_client = mosquitto_new(m_options.clientId.toUtf8().constData(), true, this);
    if (!m_client) {
        why = QStringLiteral("no MQTT client could be made");
        return false;
    }
    // MQTT 5, so that a publication the access list refuses is told so.
    mosquitto_int_option(m_client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    mosquitto_connect_callback_set(m_client, &CMqttLink::OnConnect);
    mosquitto_disconnect_callback_set(m_client, &CMqttLink::OnDisconnect);
    mosquitto_publish_v5_callback_set(m_client, &CMqttLink::OnPublish);
    mosquitto_message_callback_set(m_client, &CMqttLink::OnMessage);
    int rc = MOSQ_ERR_SUCCESS;
    if (m_options.broker.tls) {
        const QByteArray ca = Local(m_options.caFile), cert = Local(m_options.certFile), key = Local(m_options.keyFile);
        if (ca.isEmpty())
            rc = mosquitto_int_option(m_client, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        if (rc == MOSQ_ERR_SUCCESS)
            rc = mosquitto_tls_set(m_client, OrNull(ca), nullptr, OrNull(cert), OrNull(key), nullptr);
        if (rc == MOSQ_ERR_SUCCESS)
            rc = mosquitto_tls_opts_set(m_client, 1, "tlsv1.2", kCiphers);
        if (rc == MOSQ_ERR_SUCCESS)
            rc = mosquitto_tls_insecure_set(m_client, false);
    }
    if (rc == MOSQ_ERR_SUCCESS && m_options.will)
        rc = mosquitto_will_set(m_client, m_options.will->topic.constData(), int(m_options.will->payload.size()),
                                m_options.will->payload.constData(), 1, true);
    if (rc != MOSQ_ERR_SUCCESS)
        why = QStringLiteral("the MQTT client cannot be set up: %1").arg(Words(rc));
    return rc == MOSQ_ERR_SUCCESS;
}

void CMqttLink::Attempt()
{
    TearDown();
    QString why;
    if (!Prepare(why))
        return Fail(why);
    const int rc = mosquitto_connect_async(m_client, m_options.broker.host.toUtf8().constData(),
                                           m_options.broker.port, kKeepAliveSecs);
    if (rc != MOSQ_ERR_SUCCESS)
        return Fail(QStringLiteral("cannot connect to %1: %2").arg(m_options.broker.Url(), Words(rc)));
    const int fd = mosquitto_socket(m_client);
    m_readable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    m_writable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    connect(m_readable.get(), &QSocketNotifier::activated, this,
            [this] { Call([this] { return mosquitto_loop_read(m_client, kPacketsPerRead); }); });
    connect(m_writable.get(), &QSocketNotifier::activated, this,
            [this] { Call([this] { return mosquitto_loop_write(m_client, kPacketsPerRead); }); });
    m_misc.start(kMiscMs);
    Settle(MOSQ_ERR_SUCCESS);
}

void CMqttLink::Call(const std::function<int()>& call)
{
    ++m_depth;
    const int rc = call();
    --m_depth;
    Settle(rc);
}

void CMqttLink::Settle(int rc)
{
    if (!m_client)
        return;
    if (rc != MOSQ_ERR_SUCCESS && m_failure.isEmpty())
        m_failure = rc == MOSQ_ERR_CONN_LOST ? QStringLiteral("the connection was lost") : Words(rc);
    // Inside the library's call (a callback publishing) the client must
    // live on: the failure is acted on once the call returns.
    if (m_depth > 0)
        return;
    if (!m_failure.isEmpty()) {
        const QString why = m_failure;
        return Fail(why);
    }
    m_writable->setEnabled(mosquitto_want_write(m_client));
}

void CMqttLink::Fail(const QString& why)
{
    const bool wasConnected = m_connected;
    TearDown();
    if (wasConnected)
        m_retryMs = kFirstRetryMs;
    // A little spread, so stations cut off together do not all come back
    // in the same instant.
    const int wait = m_retryMs + int(QRandomGenerator::global()->bounded(m_retryMs / 4 + 1));
    m_retryMs = std::min(m_retryMs * 2, kLongestRetryMs);
    m_retry.start(wait);
    emit Lost(why);
}

void CMqttLink::TearDown()
{
    m_misc.stop();
    m_readable.reset();
    m_writable.reset();
    if (m_client)
        mosquitto_destroy(m_client);
    m_client = nullptr;
    m_connected = false;
    m_failure.clear();
    m_tags.clear();
}

bool CMqttLink::Publish(const QByteArray& topic, const QByteArray& payload, int qos, bool retain, quint64 tag)
{
    if (!m_connected)
        return false;
    int mid = 0;
    const int rc = mosquitto_publish(m_client, &mid, topic.constData(), int(payload.size()), payload.constData(), qos,
                                     retain);
    if (rc != MOSQ_ERR_SUCCESS) {
        Settle(rc);
        return false;
    }
    m_tags.insert(mid, tag);
    Settle(MOSQ_ERR_SUCCESS);
    return true;
}

void CMqttLink::OnConnect(mosquitto*, void* data, int rc)
{
    auto* link = static_cast<CMqttLink*>(data);
    if (rc != 0) {
        link->m_failure = QStringLiteral("the broker refused: %1").arg(QString::fromUtf8(mosquitto_connack_string(rc)));
        return;
    }
    link->m_connected = true;
    link->m_retryMs = kFirstRetryMs;
    for (const QString& filter : link->m_options.subscriptions)
        mosquitto_subscribe(link->m_client, nullptr, filter.toUtf8().constData(), 1);
    emit link->Connected();
}

void CMqttLink::OnDisconnect(mosquitto*, void* data, int rc)
{
    auto* link = static_cast<CMqttLink*>(data);
    if (link->m_failure.isEmpty())
        link->m_failure = rc == 0 ? QStringLiteral("disconnected") : QStringLiteral("the connection was lost");
}

void CMqttLink::OnPublish(mosquitto*, void* data, int mid, int reason, const mosquitto_property*)
{
    auto* link = static_cast<CMqttLink*>(data);
    const auto found = link->m_tags.constFind(mid);
    if (found == link->m_tags.cend())
        return;
    const quint64 tag = *found;
    link->m_tags.erase(found);
    // 0x80 and above: the broker did not take it (MQTT 5's reason codes).
    if (reason >= 0x80)
        emit link->Refused(tag, QString::fromUtf8(mosquitto_reason_string(reason)));
    else
        emit link->Delivered(tag);
}

void CMqttLink::OnMessage(mosquitto*, void* data, const mosquitto_message* message)
{
    auto* link = static_cast<CMqttLink*>(data);
    emit link->Message(QByteArray(message->topic),
                       QByteArray(static_cast<const char*>(message->payload), message->payloadlen), message->retain);
}
