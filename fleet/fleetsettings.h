#pragma once
// Where a station publishes, or a console reads, the fleet: the broker,
// the station's name, and the client certificate, key and CA the broker
// and this program check each other with. The command line's values are
// kept in the profile under [Fleet] for later starts, as the web port is,
// so the service started without them publishes where its operator chose;
// --fleet-broker off stops it.
#include <QString>
#include <optional>

#include "fleet/brokeraddress.h"

class QCommandLineOption;
class QCommandLineParser;

// --fleet-broker's word for no broker.
constexpr const char* kNoBroker = "off";

struct FleetCommandLine {
    std::optional<QString> broker;  // empty: off
    std::optional<QString> name;
    std::optional<QString> certFile;  // absolute paths
    std::optional<QString> keyFile;
    std::optional<QString> caFile;
    bool console = false;  // --fleet-console: no radio, the operations page
};

struct FleetSettings {
    std::optional<BrokerAddress> broker;  // none: the fleet is not used
    QString name;                          // a station's name under tavrin/
    QString certFile;
    QString keyFile;
    QString caFile;  // empty: the system's CAs
};

// A name a topic level can carry and an access list can match: 1 to 64
// letters, digits, '.', '_' and '-' (no '/', '+', '#').
bool IsUsableStationName(const QString& name);

// The profile's settings with this run's over them, and kept, when `keep`
// (a station's); otherwise this run's alone (a console's). False with why set when what
// is kept or given cannot be used.
bool LoadFleetSettings(const FleetCommandLine& forThisRun, FleetSettings& settings, QString& why, bool keep = true);

struct FleetOptions {
    FleetOptions();
    ~FleetOptions();
    QList<QCommandLineOption> All() const;
    // False with problem set for a value that cannot be used.
    bool Take(const QCommandLineParser& parser, FleetCommandLine& fleet, QString& problem) const;

private:
    struct Options;
    Options* m_options;
};
