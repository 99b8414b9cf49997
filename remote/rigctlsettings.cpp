#include "remote/rigctlsettings.h"

#include <QSettings>
#include <algorithm>

namespace {

struct ServerKeys {
    const char* enabled;
    const char* port;
    const char* address;
    quint16 defaultPort;
};

// 12345 is flrig's own port, where its clients look first.
constexpr ServerKeys kRigctlKeys{"Remote/RigctlEnabled", "Remote/RigctlPort", "Remote/RigctlAddress", 4532};
constexpr ServerKeys kFlrigKeys{"Remote/FlrigEnabled", "Remote/FlrigPort", "Remote/FlrigAddress", 12345};

const ServerKeys& KeysOf(StationServerKind kind) { return kind == StationServerKind::Flrig ? kFlrigKeys : kRigctlKeys; }

const char* const kTxTimeoutKey = "Remote/TxTimeoutSeconds";
// A key from the network ends within the hour whatever the profile says.
constexpr int kLongestTxTimeoutSeconds = 3600;

std::chrono::seconds TxTimeout(const QVariant& value, std::chrono::seconds fallback)
{
    bool ok = false;
    const int seconds = value.toInt(&ok);
    if (!ok || seconds <= 0)
        return fallback;
    return std::chrono::seconds(std::min(seconds, kLongestTxTimeoutSeconds));
}

} // namespace

std::optional<quint16> ParseRigctlPort(const QString& text)
{
    bool ok = false;
    const uint port = text.trimmed().toUInt(&ok);
    if (!ok || port < 1 || port > 65535)
        return std::nullopt;
    return quint16(port);
}

std::optional<QHostAddress> ParseRigctlAddress(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return QHostAddress(QHostAddress::LocalHost);
    QHostAddress address;
    if (!address.setAddress(trimmed))
        return std::nullopt;
    return address;
}

RigctlSettings LoadServerSettings(StationServerKind kind, const RigctlCommandLine& forThisRun)
{
    const ServerKeys& keys = KeysOf(kind);
    RigctlSettings settings;
    settings.port = keys.defaultPort;
    const QSettings profile;
    settings.enabled = profile.value(keys.enabled, false).toBool();
    if (const auto port = ParseRigctlPort(profile.value(keys.port).toString()))
        settings.port = *port;
    settings.address = profile.value(keys.address, settings.address).toString();
    settings.txTimeout = TxTimeout(profile.value(kTxTimeoutKey), settings.txTimeout);
    if (forThisRun.port) {
        settings.enabled = true;
        settings.port = *forThisRun.port;
    }
    if (forThisRun.address)
        settings.address = *forThisRun.address;
    return settings;
}

void SaveServerEnabled(StationServerKind kind, bool enabled)
{
    QSettings profile;
    profile.setValue(KeysOf(kind).enabled, enabled);
}

RigctlSettings LoadRigctlSettings(const RigctlCommandLine& forThisRun)
{
    return LoadServerSettings(StationServerKind::Rigctl, forThisRun);
}
