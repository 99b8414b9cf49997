#pragma once
// The station publishing to the fleet: reads its source when told it may
// have changed, at most every kLeastGapMs, and hands what it read to the
// publisher's thread along with each record line; the panel never waits on
// the broker, nor on the outbox's file.
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <memory>

#include "fleet/stationstate.h"

class CFleetPublisher;
class CStationSource;
struct FleetSettings;

class CFleetStation {
public:
    static constexpr int kLeastGapMs = 250;

    // The outbox is kept in `outboxPath` (empty: in memory).
    CFleetStation(CStationSource& source, const FleetSettings& settings, const QString& outboxPath);
    ~CFleetStation();

private:
    void MayHaveChanged();
    void Look();

    CStationSource& m_source;
    QObject m_context;  // the connections to this end with it
    QThread m_thread;
    CFleetPublisher* m_publisher;  // lives in m_thread
    QTimer m_look;
    QElapsedTimer m_sinceLook;
    StationState m_told;
    bool m_toldAny = false;
};
