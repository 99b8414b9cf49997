#pragma once
// A station's side of the broker, in a thread of its own: "online" on
// tavrin/<name>/status with "offline" as its last will, the latest state
// retained on tavrin/<name>/state, and each record line owed from the
// outbox on tavrin/<name>/transmissions or .../access at QoS 1, oldest
// first, kept until the broker acknowledges it.
#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <memory>

#include "fleet/mqttlink.h"
#include "fleet/outbox.h"
#include "fleet/stationstate.h"

struct FleetSettings;

class CFleetPublisher : public QObject {
    Q_OBJECT
public:
    // The state goes again after this long even unchanged, so a console
    // can tell a quiet station from a stuck one.
    static constexpr int kLongestQuietMs = 30000;
    // Messages owed that may wait for their acknowledgement at once.
    static constexpr int kMostInFlight = 20;

    // `outbox`: the file; empty keeps it in memory.
    CFleetPublisher(const FleetSettings& settings, const QString& outbox, QObject* parent = nullptr);
    ~CFleetPublisher() override;

    // In the publisher's thread, from here on.
    void Start();
    void Publish(const StationState& state);
    void Record(const QString& topic, const QJsonObject& line);

private:
    QByteArray Topic(const char* leaf) const;
    void OnConnected();
    void SendState();
    void SendOwed();
    void OnDelivered(quint64 tag);

    QString m_name;
    QString m_outboxPath;
    MqttOptions m_options;
    std::unique_ptr<CMqttLink> m_link;
    COutbox m_outbox;
    StationState m_state;
    bool m_haveState = false;
    QDateTime m_since;       // connected since
    QTimer m_quiet;
    quint64 m_inFlightUpTo = 0;  // owed messages numbered up to this are sent, not yet acknowledged
    int m_inFlight = 0;
    quint64 m_notSentTelling = 0;
    bool m_refusalTold = false;
};
