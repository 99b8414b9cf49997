#include "web/website.h"

WebSite WebSite::Panel()
{
    const auto script = [](const char* name) {
        return WebAsset{QLatin1Char('/') + QLatin1String(name), QStringLiteral(":/web/") + QLatin1String(name),
                        "text/javascript"};
    };
    return {QStringLiteral(":/web/index.html"),
            {script("app.js"), script("audio.js"), script("audioplayer.js"), script("channellist.js"),
             script("keying.js"), script("messages.js"), script("panel.js"),
             {QStringLiteral("/style.css"), QStringLiteral(":/web/style.css"), "text/css"}},
            [](OperatorRole role) { return role != OperatorRole::Watch; }};
}
