#include "web/webpanelstate.h"

bool WebPanelState::operator==(const WebPanelState& other) const
{
    return frequency == other.frequency && mode == other.mode && agc == other.agc && transmit == other.transmit
           && link == other.link;
}

QJsonObject WebPanelState::ToJson() const
{
    return {{QStringLiteral("type"), QStringLiteral("state")},
            {QStringLiteral("frequency"), frequency},
            {QStringLiteral("mode"), mode},
            {QStringLiteral("agc"), agc},
            {QStringLiteral("transmit"), transmit},
            {QStringLiteral("link"), link}};
}
