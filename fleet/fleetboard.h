#pragma once
// Every station the broker tells the console about, as the operations page
// shows it: online or offline and since when, its last state, its last
// transmissions and access events. Built only from what arrives under
// tavrin/<name>/: the broker's access list is what keeps each station to
// its own name, and what a station sends is bounded here, so one that
// misbehaves cannot fill the console's memory.
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

#include "fleet/stationstate.h"

class CFleetBoard {
public:
    static constexpr int kMostStations = 1000;
    static constexpr int kLastTransmissions = 5;
    static constexpr int kLastAccess = 3;
    static constexpr qsizetype kLargestMessage = 16 * 1024;

    explicit CFleetBoard(const QDateTime& started = QDateTime::currentDateTimeUtc()) : m_started(started) {}

    // One message from the broker; false when it was not taken (not a
    // station's topic, too large, not understood).
    bool Take(const QByteArray& topic, const QByteArray& payload, bool retained,
              const QDateTime& now = QDateTime::currentDateTimeUtc());
    // Each station by name, as the page reads it.
    QJsonObject Stations() const;
    int Count() const { return int(m_stations.size()); }

private:
    struct Station {
        bool statusKnown = false;
        bool online = false;
        QString since;        // when it went online or offline, as far as known
        bool sinceBefore = false;  // known only to be before `since`
        bool haveState = false;
        StationState state;
        QString stateTime;    // when the station read that state
        QString stateSince;   // when it says it came online
        QList<QJsonObject> transmissions;  // newest first
        QList<QJsonObject> access;         // newest first
    };

    void TakeStatus(Station& station, const QByteArray& payload, bool retained, const QDateTime& now);
    void TakeState(Station& station, const QJsonObject& json);
    static void TakeTransmission(Station& station, const QJsonObject& json);
    static void TakeAccess(Station& station, const QJsonObject& json);
    static QJsonObject Shown(const Station& station);

    QDateTime m_started;
    QMap<QString, Station> m_stations;
};
