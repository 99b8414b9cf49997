#include "web/webpanelstate.h"

QJsonObject WebPanelState::ValuesChangedSince(const WebPanelState& before) const
{
    QJsonObject changed;
    for (auto value = values.begin(); value != values.end(); ++value)
        if (before.values.value(value.key()) != value.value())
            changed.insert(value.key(), value.value());
    return changed;
}

bool WebPanelState::operator==(const WebPanelState& other) const
{
    return values == other.values && channels == other.channels && link == other.link;
}
