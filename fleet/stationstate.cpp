#include "fleet/stationstate.h"

#include <QJsonArray>

#include "txlog/transmissioncsv.h"

namespace {
// Names carried in a station's state, and limits on what a console keeps
// of each: a station is trusted only with its own topics, not with the
// console's memory.
constexpr int kLongestText = 256;
constexpr int kMostOperators = 64;

QString TextOf(const QJsonObject& json, const char* key)
{
    return json.value(QLatin1String(key)).toString().left(kLongestText);
}
} // namespace

QJsonObject StationState::ToJson(const QDateTime& time, const QDateTime& since) const
{
    return {{QStringLiteral("time"), UtcText(time)},
            {QStringLiteral("since"), UtcText(since)},
            {QStringLiteral("frequency_khz"), frequencyKhz ? QJsonValue(*frequencyKhz) : QJsonValue()},
            {QStringLiteral("mode"), mode},
            {QStringLiteral("agc"), agc},
            {QStringLiteral("transmitting"), transmitting},
            {QStringLiteral("holder"), holder},
            {QStringLiteral("heard"), Heard()},
            {QStringLiteral("link"), link},
            {QStringLiteral("operators"), QJsonArray::fromStringList(operators)},
            {QStringLiteral("web_panel"), webPanel}};
}

StationState StationState::FromJson(const QJsonObject& json)
{
    StationState state;
    const QJsonValue frequency = json.value(QLatin1String("frequency_khz"));
    if (frequency.isDouble())
        state.frequencyKhz = frequency.toDouble();
    state.mode = TextOf(json, "mode");
    state.agc = TextOf(json, "agc");
    state.transmitting = json.value(QLatin1String("transmitting")).toBool();
    state.holder = TextOf(json, "holder");
    state.link = TextOf(json, "link");
    // A station that says it is not heard and gives no reason is still not heard.
    if (state.link.isEmpty() && json.value(QLatin1String("heard")).isBool()
        && !json.value(QLatin1String("heard")).toBool())
        state.link = QStringLiteral("radio silent");
    const QJsonArray operators = json.value(QLatin1String("operators")).toArray();
    for (int i = 0; i < operators.size() && i < kMostOperators; ++i)
        if (operators.at(i).isString())
            state.operators << operators.at(i).toString().left(kLongestText);
    // Only a web panel's own kind of address becomes a link on the console.
    const QString webPanel = TextOf(json, "web_panel");
    if (webPanel.startsWith(QLatin1String("https://")))
        state.webPanel = webPanel;
    return state;
}

bool StationState::operator==(const StationState& other) const
{
    return frequencyKhz == other.frequencyKhz && mode == other.mode && agc == other.agc
           && transmitting == other.transmitting && holder == other.holder && link == other.link
           && operators == other.operators && webPanel == other.webPanel;
}
