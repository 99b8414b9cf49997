#pragma once
// What a station tells the fleet about itself, as the retained message on
// tavrin/<name>/state: what its radio last reported, who holds its
// transmitter, whether the radio is heard, who is on its web panel and
// where that is. Never a password, a session or a key: nothing here comes
// from the operator file or the sessions but the operators' names.
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

struct StationState {
    std::optional<double> frequencyKhz;  // none before the first report
    QString mode;                        // "USB", "LSB", "AM", "CW"; empty before a report
    QString agc;                         // "Off", "Slow", "Medium", "Fast"; likewise
    bool transmitting = false;
    QString holder;                      // who keyed, as the record names them; empty: nobody
    QString link;                        // empty while the radio is heard; "radio silent", or why the port is not open
    QStringList operators;               // on its web panel now, each once
    QString webPanel;                    // its web panel's address; empty: none

    bool Heard() const { return link.isEmpty(); }
    // `time` is when it was read; `since` when the station came online.
    QJsonObject ToJson(const QDateTime& time, const QDateTime& since) const;
    // What a well-formed message holds; a field missing or of another type
    // is left empty. `time` and `since` are read where given.
    static StationState FromJson(const QJsonObject& json);

    bool operator==(const StationState& other) const;
    bool operator!=(const StationState& other) const { return !(*this == other); }
};
