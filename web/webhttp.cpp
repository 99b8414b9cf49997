#include "web/webhttp.h"

#include <QList>

QString SessionToken(const QByteArray& cookieHeader)
{
    const QByteArray wanted = QByteArray(kSessionCookie) + '=';
    for (const QByteArray& cookie : cookieHeader.split(';')) {
        const QByteArray trimmed = cookie.trimmed();
        if (trimmed.startsWith(wanted))
            return QString::fromLatin1(trimmed.mid(wanted.size()));
    }
    return {};
}

QByteArray PageOrigin(const QByteArray& host) { return "https://" + host; }

bool FromOwnOrigin(const QByteArray& host, const QByteArray& origin, const QByteArray& referer)
{
    if (host.isEmpty())
        return false;
    const QByteArray own = PageOrigin(host);
    if (!origin.isEmpty())
        return origin == own;
    return referer == own || referer.startsWith(own + '/');
}
