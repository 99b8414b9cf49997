#include "fleet/fleetboard.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "fleet/fleetsettings.h"
#include "txlog/transmissioncsv.h"

namespace {

constexpr qsizetype kLongestField = 256;

const char* const kTransmissionFields[] = {"start_utc", "frequency_khz", "mode",     "who",
                                           "began",     "end_utc",       "duration_s", "ended"};
const char* const kAccessFields[] = {"time_utc", "event", "address", "name"};

// Only the fields the record has, each as text of a bounded length.
template <size_t N>
QJsonObject Fields(const QJsonObject& json, const char* const (&names)[N])
{
    QJsonObject fields;
    for (const char* name : names)
        fields.insert(QLatin1String(name), json.value(QLatin1String(name)).toString().left(kLongestField));
    return fields;
}

} // namespace

bool CFleetBoard::Take(const QByteArray& topic, const QByteArray& payload, bool retained, const QDateTime& now)
{
    const QList<QByteArray> levels = topic.split('/');
    if (levels.size() != 3 || levels.at(0) != "tavrin" || payload.size() > kLargestMessage)
        return false;
    const QString name = QString::fromUtf8(levels.at(1));
    if (!IsUsableStationName(name))
        return false;
    if (!m_stations.contains(name) && m_stations.size() >= kMostStations)
        return false;
    const QByteArray& leaf = levels.at(2);
    if (leaf == "status") {
        if (payload != "online" && payload != "offline")
            return false;
        TakeStatus(m_stations[name], payload, retained, now);
        return true;
    }
    const QJsonDocument document = QJsonDocument::fromJson(payload);
    if (!document.isObject())
        return false;
    if (leaf == "state")
        TakeState(m_stations[name], document.object());
    else if (leaf == "transmissions")
        TakeTransmission(m_stations[name], document.object());
    else if (leaf == "access")
        TakeAccess(m_stations[name], document.object());
    else
        return false;
    return true;
}

// A retained status is the broker's memory of a change made before the
// console was there: an online station says when it came online in its
// state; of an offline one, only that it was before now.
void CFleetBoard::TakeStatus(Station& station, const QByteArray& payload, bool retained, const QDateTime& now)
{
    const bool online = payload == "online";
    if (station.statusKnown && station.online == online)
        return;
    station.statusKnown = true;
    station.online = online;
    station.sinceBefore = retained && !(online && !station.stateSince.isEmpty());
    station.since = !retained                                 ? UtcText(now)
                    : online && !station.stateSince.isEmpty() ? station.stateSince
                    : !station.stateTime.isEmpty()            ? station.stateTime
                                                              : UtcText(m_started);
}

void CFleetBoard::TakeState(Station& station, const QJsonObject& json)
{
    station.haveState = true;
    station.state = StationState::FromJson(json);
    station.stateTime = json.value(QLatin1String("time")).toString().left(kLongestField);
    station.stateSince = json.value(QLatin1String("since")).toString().left(kLongestField);
    if (station.online && station.sinceBefore && !station.stateSince.isEmpty()) {
        station.since = station.stateSince;
        station.sinceBefore = false;
    }
}

// A transmission is one entry from its beginning to its end, found again
// by its start; the same message delivered twice changes nothing.
void CFleetBoard::TakeTransmission(Station& station, const QJsonObject& json)
{
    const QJsonObject entry = Fields(json, kTransmissionFields);
    const QString start = entry.value(QLatin1String("start_utc")).toString();
    if (start.isEmpty())
        return;
    auto place = station.transmissions.begin();
    for (; place != station.transmissions.end(); ++place) {
        const QString other = place->value(QLatin1String("start_utc")).toString();
        if (other == start) {
            // An end already known is not taken back by a late "began".
            if (entry.value(QLatin1String("end_utc")).toString().isEmpty()
                && !place->value(QLatin1String("end_utc")).toString().isEmpty())
                return;
            *place = entry;
            return;
        }
        if (other < start)
            break;
    }
    station.transmissions.insert(place, entry);
    while (station.transmissions.size() > kLastTransmissions)
        station.transmissions.removeLast();
}

void CFleetBoard::TakeAccess(Station& station, const QJsonObject& json)
{
    station.access.prepend(Fields(json, kAccessFields));
    while (station.access.size() > kLastAccess)
        station.access.removeLast();
}

QJsonObject CFleetBoard::Shown(const Station& station)
{
    QJsonArray transmissions;
    for (const QJsonObject& entry : station.transmissions)
        transmissions.append(entry);
    QJsonArray access;
    for (const QJsonObject& entry : station.access)
        access.append(entry);
    QJsonObject shown{{QStringLiteral("online"), station.statusKnown ? QJsonValue(station.online) : QJsonValue()},
                      {QStringLiteral("since"), station.since},
                      {QStringLiteral("since_before"), station.sinceBefore},
                      {QStringLiteral("transmissions"), transmissions},
                      {QStringLiteral("access"), access}};
    if (station.haveState)
        shown.insert(QStringLiteral("state"), station.state.ToJson(ParseUtc(station.stateTime.toUtf8()),
                                                                     ParseUtc(station.stateSince.toUtf8())));
    return shown;
}

QJsonObject CFleetBoard::Stations() const
{
    QJsonObject stations;
    for (auto station = m_stations.cbegin(); station != m_stations.cend(); ++station)
        stations.insert(station.key(), Shown(station.value()));
    return stations;
}
