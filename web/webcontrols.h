#pragma once
// Which of the desktop panel's controls the web page shows, and who may use
// each. A control's web name is its resource id without "IDC_", in lower
// case with "-" for "_", so the page and the panel's own tests name it alike.
// What is not listed here (the port settings, the DTR power line, the hosted
// serial control) a page never sees nor reaches.
#include <QString>
#include <vector>

#include "web/operatorrole.h"

enum class WebUse {
    Shown,     // read-only: every role sees it, nobody changes it
    Operate,   // tuning, settings, channels, scanning
    Transmit,  // pressed on the panel by a transmit role only
    Keying,    // a transmit role's, through the keying hook, never pressed directly
};

struct WebControl {
    int id;
    QString name;
    WebUse use;
    QString section;  // where the page shows it when no group box holds it
};

const std::vector<WebControl>& WebControls();
const WebControl* FindWebControl(const QString& name);
// "IDC_FREQ_UP" -> "freq-up"
QString WebNameOfResource(const char* resourceName);
bool MayUse(OperatorRole role, WebUse use);
QString UseName(WebUse use);  // the least role that may use it, or empty
