#pragma once
// What the web panel's, its operators', its sound's and the fleet's options named.
#include "audio/audiosettings.h"
#include "fleet/fleetsettings.h"
#include "web/operatorsoptions.h"
#include "web/websettings.h"

struct WebPartCommandLine {
    OperatorsCommandLine operators;  // --add-operator, --remove-operator, --list-operators: no window
    WebCommandLine web;  // --web-port (kept in the profile), --web-address, --web-cert, --web-key
    FleetCommandLine fleet;  // --fleet-broker, --fleet-name, --fleet-cert/key/ca (kept), --fleet-console
    AudioCommandLine audio;  // --list-audio (no window), --audio-in, --audio-out (kept in the profile)
};
