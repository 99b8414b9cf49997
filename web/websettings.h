#pragma once
// Where the web panel listens and with which certificate. The profile keeps
// the port under [Web] (0: no web panel); --web-port turns it on and is
// kept for later starts, --web-address and the certificate files are for
// one run.
#include <QString>
#include <optional>

struct WebCommandLine {
    std::optional<quint16> port;
    std::optional<QString> address;
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
