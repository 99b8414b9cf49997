#pragma once
// One connection to the fleet's MQTT broker (MQTT 5), outward from here, in
// the thread the link lives in: libmosquitto's socket is watched by the
// thread's event loop, so nothing ever waits on the network, and the
// thread's owner hands work over and hears back through signals.
//
// Each attempt is a new client, with nothing of the last carried over:
// what was unacknowledged when a connection dropped is for the caller to
// send again. Refused or lost, it tries again after 1 s, then twice as
// long each time up to a minute, and at 1 s again once it was connected.
//
// TLS is verified as for a radio on the network: the broker's certificate
// against the CA named (or the system's) and its host name, TLS 1.2 or
// later, on 1.2 only forward-secret AEAD ciphers; a client certificate goes
// along when one is named.
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "fleet/brokeraddress.h"

class QSocketNotifier;
struct mosquitto;
struct mosquitto_message;
struct mqtt5__property;
typedef struct mqtt5__property mosquitto_property;

struct MqttWill {
    QByteArray topic;
    QByteArray payload;
};

struct MqttOptions {
    BrokerAddress broker;
    QString clientId;
    QString certFile;  // empty: no client certificate
    QString keyFile;
    QString caFile;    // empty: the system's CAs
    std::optional<MqttWill> will;  // retained, QoS 1
    QStringList subscriptions;     // QoS 1, made at every connection
};

class CMqttLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kFirstRetryMs = 1000;
    static constexpr int kLongestRetryMs = 60000;
    static constexpr int kKeepAliveSecs = 30;

    explicit CMqttLink(MqttOptions options, QObject* parent = nullptr);
    ~CMqttLink() override;

    // The first attempt; in the link's thread.
    void Start();
    bool IsConnected() const { return m_connected; }
    // Only while connected (false otherwise). At QoS 1, Delivered(tag)
    // follows the broker's acknowledgement; at QoS 0, the write.
    bool Publish(const QByteArray& topic, const QByteArray& payload, int qos, bool retain, quint64 tag = 0);

signals:
    void Connected();
    // Refused or lost, with why; the next attempt is scheduled.
    void Lost(const QString& why);
    void Delivered(quint64 tag);
    // The broker would not take it: its access list, most often.
    void Refused(quint64 tag, const QString& why);
    void Message(const QByteArray& topic, const QByteArray& payload, bool retained);

private:
    static void OnConnect(mosquitto*, void* link, int rc);
    static void OnDisconnect(mosquitto*, void* link, int rc);
    static void OnPublish(mosquitto*, void* link, int mid, int reason, const mosquitto_property* properties);
    static void OnMessage(mosquitto*, void* link, const mosquitto_message* message);

    void Attempt();
    bool Prepare(QString& why);
    // After each call into the library: a failure it told of ends the
    // connection, and its wish to write is watched for.
    void Settle(int rc);
    void Call(const std::function<int()>& call);
    void Fail(const QString& why);
    void TearDown();

    MqttOptions m_options;
    mosquitto* m_client = nullptr;
    std::unique_ptr<QSocketNotifier> m_readable;
    std::unique_ptr<QSocketNotifier> m_writable;
    QTimer m_misc;   // keep-alive, and anything the TLS layer holds back
    QTimer m_retry;
    int m_retryMs = kFirstRetryMs;
    bool m_connected = false;
    int m_depth = 0;    // calls into the library under way
    QString m_failure;  // told by a callback, acted on after it returns
    QHash<int, quint64> m_tags;  // by message id
};
