#pragma once
// Who keyed the transmitter, and how: the panel's own Xmit or Tune, a
// station program through one of the servers, an operator in a browser, or
// the radio itself (its Ext PTT or a microphone).
#include <QString>

class QObject;

struct Keyer {
    enum class Kind { Panel, StationProgram, WebOperator, Radio };

    Kind kind = Kind::Panel;
    QString name;  // a station program's address and port, an operator's name and address
    QString how;   // "Xmit", "Tune", "rig-control T", "flrig set_ptt", "report" (the radio)
    // The connection that keyed: two clients of one address are two keyers.
    const QObject* client = nullptr;

    // "the panel", "station program 127.0.0.1:40512", "web operator alice 127.0.0.1", "the radio"
    QString Who() const;
    bool SameAs(const Keyer& other) const { return kind == other.kind && name == other.name && client == other.client; }
};
