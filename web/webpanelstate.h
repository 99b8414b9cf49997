#pragma once
// What a web page shows of the panel: each shown control's value by its web
// name (an edit's or combo's text, a button's checked state), the channel
// list's rows, and whether the radio is heard. Compared with what a page
// was last sent, so it is told only what changed.
#include <QJsonObject>
#include <QString>
#include <QStringList>

struct WebPanelState {
    QJsonObject values;
    QStringList channels;
    QString link;  // empty while the radio is heard; else why not

    // The values that differ from, or are missing in, `before`.
    QJsonObject ValuesChangedSince(const WebPanelState& before) const;
    bool operator==(const WebPanelState& other) const;
    bool operator!=(const WebPanelState& other) const { return !(*this == other); }
};
