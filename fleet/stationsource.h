#pragma once
// What the fleet's publisher reads of the station, and when: the one seam
// between the panel and everything under fleet/. Its implementation reads
// the panel in the panel's thread; the publisher never looks further.
#include <QJsonObject>
#include <QObject>
#include <QString>

#include "fleet/stationstate.h"

class CStationSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual StationState Now() const = 0;

signals:
    // Something the state holds may be different: cheap to emit often, as
    // the publisher reads at most a few times a second whatever it hears.
    void MayHaveChanged();
    // A line the station's record wrote, under the topic it goes to:
    // "transmissions" (one as a transmission begins, one as it ends) or
    // "access"; its fields named as the record's header names them.
    void Recorded(const QString& topic, const QJsonObject& line);
};
