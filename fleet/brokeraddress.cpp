#include "fleet/brokeraddress.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QUrl>

namespace {
constexpr qsizetype kLongestHost = 253;
constexpr qsizetype kLongestAddress = 4096;

bool IsLoopbackHost(const QString& host)
{
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

bool GoodHost(const QString& host)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9._-]+$"));
    return !host.isEmpty() && host.size() <= kLongestHost
           && (name.match(host).hasMatch() || QHostAddress(host).protocol() == QAbstractSocket::IPv6Protocol);
}
} // namespace

QString BrokerAddress::Url() const
{
    const QString shown = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return QStringLiteral("%1://%2:%3").arg(tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), shown).arg(port);
}

std::optional<BrokerAddress> ParseBrokerAddress(const QString& text, QString& problem)
{
    problem.clear();
    if (text.size() > kLongestAddress) {
        problem = QStringLiteral("the broker's address is %1 characters long; at most %2").arg(text.size()).arg(kLongestAddress);
        return std::nullopt;
    }
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    BrokerAddress address;
    address.tls = scheme == QLatin1String("mqtts");
    address.port = address.tls ? 8883 : 1883;
    if (!url.isValid() || (scheme != QLatin1String("mqtts") && scheme != QLatin1String("mqtt")))
        problem = QStringLiteral("\"%1\" is not a broker's address: mqtts://HOST:PORT").arg(text);
    else if (!GoodHost(url.host()))
        problem = QStringLiteral("\"%1\" names no usable host").arg(text);
    else if (!url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment() || (!url.path().isEmpty() && url.path() != QLatin1String("/")))
        problem = QStringLiteral("\"%1\" has more than mqtts://HOST:PORT; the certificate files are named with "
                                 "--fleet-cert, --fleet-key and --fleet-ca").arg(text);
    else if (url.port() == 0)
        problem = QStringLiteral("\"%1\" has no usable port number").arg(text);
    else if (!address.tls && !IsLoopbackHost(url.host()))
        problem = QStringLiteral("plain mqtt:// is only for a broker on this computer; anywhere else anyone on the "
                                 "way could read and forge what the stations say: use mqtts://%1").arg(url.host());
    if (!problem.isEmpty())
        return std::nullopt;
    address.host = url.host();
    if (url.port() > 0)
        address.port = quint16(url.port());
    return address;
}
