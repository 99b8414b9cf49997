#pragma once
// Where a page's message goes: keying (Xmit, Tune, Receive, key, unkey and
// the heartbeat) to the keying hook, everything else to the panel's own
// controls through the seam. Roles are checked for every message.
#include <QJsonObject>
#include <QString>
#include <functional>

#include "web/websessions.h"

class CWebPanelSeam;

class QObject;

// The page that sent the message comes with it: the key is that page's.
using WebKeyingHook = std::function<QString(const WebSession&, const QObject* page, const QJsonObject&)>;

bool IsKeyingMessage(const QJsonObject& message);
// The refusal to show the page, or empty. No seam: the panel is not up yet.
QString HandleWebMessage(CWebPanelSeam* seam, const WebKeyingHook& keying, const WebSession& session,
                         const QObject* page, const QJsonObject& message);
