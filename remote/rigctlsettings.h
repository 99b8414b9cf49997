#pragma once
// Where a server for station programs (the rig-control server, the flrig
// server) listens, whether it runs, and how long a network key may last.
// The profile keeps them under [Remote]; the command line can turn a server
// on, and name its port and address, for one run.
#include <QHostAddress>
#include <QString>
#include <chrono>
#include <optional>

struct RigctlSettings {
    bool enabled = false;
    quint16 port = 4532;
    QString address = QStringLiteral("127.0.0.1");
    std::chrono::seconds txTimeout{180};
};

struct RigctlCommandLine {
    std::optional<quint16> port;       // turns the server on for this run
    std::optional<QString> address;
};

enum class StationServerKind { Rigctl, Flrig };

RigctlSettings LoadServerSettings(StationServerKind kind, const RigctlCommandLine& forThisRun = {});
void SaveServerEnabled(StationServerKind kind, bool enabled);
RigctlSettings LoadRigctlSettings(const RigctlCommandLine& forThisRun = {});

// A port number from 1 to 65535; none for anything else.
std::optional<quint16> ParseRigctlPort(const QString& text);
// A numeric IPv4 or IPv6 address; "localhost" stands for 127.0.0.1.
std::optional<QHostAddress> ParseRigctlAddress(const QString& text);
