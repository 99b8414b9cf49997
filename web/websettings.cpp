#include "web/websettings.h"

#include <QSettings>

#include "remote/rigctlsettings.h"

namespace {
const char* const kPortKey = "Web/Port";
const char* const kAddressKey = "Web/Address";
} // namespace

WebSettings LoadWebSettings(const WebCommandLine& forThisRun)
{
    WebSettings settings;
    QSettings profile;
    if (forThisRun.port) {
        profile.setValue(kPortKey, *forThisRun.port);
        settings.port = *forThisRun.port;
    } else if (const auto port = ParseRigctlPort(profile.value(kPortKey).toString())) {
        settings.port = *port;
    }
    if (forThisRun.address)
        profile.setValue(kAddressKey, *forThisRun.address);
    settings.address = forThisRun.address.value_or(profile.value(kAddressKey).toString());
    settings.certFile = forThisRun.certFile;
    settings.keyFile = forThisRun.keyFile;
    return settings;
}
