#pragma once
// What a web page shows of the panel, compared whole so a page is told only
// when something changed.
#include <QJsonObject>
#include <QString>

struct WebPanelState {
    QString frequency;  // kHz, as the panel's frequency field shows it
    QString mode;
    QString agc;
    bool transmit = false;
    QString link;  // empty while the radio is heard; else why not

    bool operator==(const WebPanelState& other) const;
    bool operator!=(const WebPanelState& other) const { return !(*this == other); }
    QJsonObject ToJson() const;
};
