#pragma once
// The port's settings text, as the channel file and the panel hold it:
// "baud,parity,data bits,stop bits", for example " 9600,O,7,1".
#include <QString>
#include <optional>

#include "panel/cstring.h"

struct CommSettings {
    int baudRate = 9600;
    char parity = 'N';   // N, O, E, M or S
    int dataBits = 8;    // 5 to 8
    int stopBits = 1;    // 1 or 2 (1.5 is written "1.5")
    bool oneAndHalfStopBits = false;
};

std::optional<CommSettings> ParseCommSettings(const CString& text);

// Where the profile settings live: organisation and application name
// (on Linux, $XDG_CONFIG_HOME/Local AppWizard-Generated Applications/Tavrin.conf).
extern const char* const g_szRegistryKey;
extern const char* const g_szProfileName;

// The device a port number names: the one given for every port (--port),
// else the profile setting Ports/COM<n> if there is one, otherwise the
// platform's own name for the n-th serial port.
QString DeviceForCommPort(int port);

// For this run only, every port number, even one that names no port, leads
// to `device` (a path or a URL); an empty name ends that.
void SetDeviceForEveryPort(const QString& device);
bool EveryPortLeadsToOneDevice();

// Makes port number `port` lead to `device` from now on (Ports/COM<n>).
void SetDeviceForCommPort(int port, const QString& device);
