#pragma once
// What the web panel's, its operators' and its sound's options named.
#include "audio/audiosettings.h"
#include "web/operatorsoptions.h"
#include "web/websettings.h"

struct WebPartCommandLine {
    OperatorsCommandLine operators;  // --add-operator, --remove-operator, --list-operators: no window
    WebCommandLine web;  // --web-port (kept in the profile), --web-address, --web-cert, --web-key
    AudioCommandLine audio;  // --list-audio (no window), --audio-in, --audio-out (kept in the profile)
};
