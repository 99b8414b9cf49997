#pragma once
// What a web page shows of the panel: each shown control's value by its web
// name (an edit's or combo's text, a button's checked state), the channel
// list's rows, and whether the radio is heard. Compared with what a page
// was last sent, so it is told only what changed.
#include <QJsonObject>
#include <QString>
#include <QStringList>

struct PanelReading;

struct WebPanelState {
    QJsonObject values;
    QStringList channels;
    QString link;  // empty while the radio is heard; else why not

    // The values that differ from, or are missing in, `before`.
    QJsonObject ValuesChangedSince(const WebPanelState& before) const;
    bool operator==(const WebPanelState& other) const;
    bool operator!=(const WebPanelState& other) const { return !(*this == other); }
};

// The page's values as the form shows the panel's state at its refresh:
// an edit's text, a box's or radio button's check, the list item a
// reported mode or AGC selects, plus "transmit", the radio's own report.
WebPanelState WebPanelStateOf(const PanelReading& panel);
