#pragma once
// Where the web panel listens and with which certificate. The profile keeps
// the port and the address under [Web] (port 0: no web panel; no address:
// every address); --web-port and --web-address are kept for later starts,
// so a service started without them listens where its operator chose. The
// certificate files are for one run.
#include <QString>
#include <optional>

// --web-address's word for every address of this computer.
constexpr const char* kEveryWebAddress = "any";

struct WebCommandLine {
    std::optional<quint16> port;
    std::optional<QString> address;  // empty: every address
    QString certFile;
    QString keyFile;
};

struct WebSettings {
    quint16 port = 0;  // 0: off
    QString address;   // empty: every address of this computer
    QString certFile;  // both empty: the data folder's own certificate
    QString keyFile;
};

WebSettings LoadWebSettings(const WebCommandLine& forThisRun = {});
