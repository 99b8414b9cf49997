#pragma once
// Where the fleet's MQTT broker is: mqtts://HOST[:PORT] (8883 unless
// named), TLS with the server's certificate checked. Plain mqtt://HOST[:PORT]
// (1883) only to this computer: on any network, anyone on the path could
// read and forge what the stations say.
#include <QString>
#include <optional>

struct BrokerAddress {
    QString host;  // without brackets
    quint16 port = 8883;
    bool tls = true;

    QString Url() const;
};

// The address, or nothing and a sentence naming what is wrong with it.
std::optional<BrokerAddress> ParseBrokerAddress(const QString& url, QString& problem);
