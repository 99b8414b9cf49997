#pragma once
// What one HTTPS server of this program serves behind its logins: the page
// a logged-in operator gets, the files it loads, and the roles it lets in.
// The web panel is one such site; the fleet's operations page another.
#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

#include "web/operatorrole.h"

struct WebAsset {
    QString path;      // "/app.js"
    QString resource;  // ":/web/app.js"
    QByteArray type;   // "text/javascript"
};

struct WebSite {
    QString home;  // the page's resource
    QList<WebAsset> assets;
    std::function<bool(OperatorRole)> admits;

    // The station's own web panel: listen, operate and transmit.
    static WebSite Panel();
};
