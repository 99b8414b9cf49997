#include "netport/netaddress.h"

#include <QDir>
#include <QHostAddress>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include "netport/tlsfiles.h"

namespace {

const QString kSchemes = QStringLiteral("socket://HOST:PORT or rfc2217://HOST:PORT");

// The longest host name DNS allows, and an address far longer than any
// real one: text past these is a mistake, and every sentence about it, the
// dialog's included, would carry it whole.
constexpr qsizetype kLongestHost = 253;
constexpr qsizetype kLongestAddress = 4096;

bool ReadScheme(const QString& scheme, NetAddress& address, QString& problem)
{
    const QString lower = scheme.toLower();
    if (lower == QLatin1String("socket"))
        address.kind = NetAddress::Kind::Raw;
    else if (lower == QLatin1String("rfc2217"))
        address.kind = NetAddress::Kind::Rfc2217;
    else
        problem = QStringLiteral("unknown scheme \"%1\": a radio on the network is %2").arg(scheme, kSchemes);
    return problem.isEmpty();
}

bool ReadPort(const QString& text, NetAddress& address, QString& problem)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    if (!digits.match(text).hasMatch() || !ok || port < 1 || port > 65535) {
        problem = QStringLiteral("\"%1\" is not a port number: it must be from 1 to 65535").arg(text);
        return false;
    }
    address.port = quint16(port);
    return true;
}

bool ReadHost(const QString& host, bool bracketed, NetAddress& address, QString& problem)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9._-]+$"));
    if (host.size() > kLongestHost)
        problem = QStringLiteral("the host name is %1 characters long: a host name has at most %2").arg(host.size()).arg(kLongestHost);
    else if (host.isEmpty())
        problem = QStringLiteral("the address names no host: a radio on the network is %1").arg(kSchemes);
    else if (bracketed && QHostAddress(host).protocol() != QAbstractSocket::IPv6Protocol)
        problem = QStringLiteral("\"[%1]\" is not an IPv6 address").arg(host);
    else if (!bracketed && host.contains(QLatin1Char(':')))
        problem = QStringLiteral("an IPv6 address goes in brackets, as in socket://[%1]:7000").arg(host);
    else if (!bracketed && !name.match(host).hasMatch())
        problem = QStringLiteral("\"%1\" is not a host name").arg(host);
    if (problem.isEmpty())
        address.host = host;
    return problem.isEmpty();
}

// HOST:PORT or [IPV6]:PORT, with perhaps a slash after it.
bool ReadHostAndPort(QString authority, NetAddress& address, QString& problem)
{
    if (authority.endsWith(QLatin1Char('/')))
        authority.chop(1);
    const bool bracketed = authority.startsWith(QLatin1Char('['));
    const qsizetype close = bracketed ? authority.indexOf(QLatin1Char(']')) : -1;
    if (bracketed && close < 0) {
        problem = QStringLiteral("\"%1\" opens a bracket it does not close").arg(authority);
        return false;
    }
    const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
    const bool hasPort = colon > close && (bracketed || authority.indexOf(QLatin1Char(':')) == colon);
    const QString host = bracketed ? authority.mid(1, close - 1) : hasPort ? authority.left(colon) : authority;
    if (!ReadHost(host, bracketed, address, problem))
        return false;
    if (bracketed && close + 1 < authority.size() && !hasPort) {
        problem = QStringLiteral("\"%1\" has something after the bracket that is not :PORT").arg(authority);
        return false;
    }
    if (!hasPort || colon + 1 == authority.size()) {
        problem = QStringLiteral("\"%1\" has no port number: add the one the far end listens on, as in %1:7000")
                      .arg(authority.left(hasPort ? colon : authority.size()));
        return false;
    }
    return ReadPort(authority.mid(colon + 1), address, problem);
}

bool ReadSwitch(const QString& value, bool& on, QString& problem)
{
    const QString lower = value.toLower();
    static const QStringList yes = {QStringLiteral("1"), QStringLiteral("yes"), QStringLiteral("true"), QStringLiteral("on")};
    static const QStringList no = {QStringLiteral("0"), QStringLiteral("no"), QStringLiteral("false"), QStringLiteral("off")};
    on = yes.contains(lower);
    if (!on && !no.contains(lower))
        problem = QStringLiteral("tls= wants 1 or 0, not \"%1\"").arg(value);
    return problem.isEmpty();
}

bool ReadFingerprint(QString value, NetAddress& address, QString& problem)
{
    value.remove(QLatin1Char(':'));
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{64}$"));
    if (!hex.match(value).hasMatch()) {
        problem = QStringLiteral("fp= wants the SHA-256 fingerprint of the server's certificate: 64 hexadecimal digits");
        return false;
    }
    address.fingerprint = QByteArray::fromHex(value.toLatin1());
    return true;
}

bool ReadOption(const QString& key, const QString& value, NetAddress& address, QString& problem)
{
    if (key == QLatin1String("tls"))
        return ReadSwitch(value, address.tls, problem);
    if (key == QLatin1String("fp"))
        return ReadFingerprint(value, address, problem);
    QString* file = key == QLatin1String("ca")     ? &address.caFile
                    : key == QLatin1String("cert") ? &address.certFile
                    : key == QLatin1String("key")  ? &address.keyFile
                                                   : nullptr;
    if (!file) {
        problem = QStringLiteral("unknown option \"%1\": an address knows tls, ca, cert, key and fp").arg(key);
        return false;
    }
    if (value.isEmpty())
        problem = QStringLiteral("%1= names no file").arg(key);
    else if (value.contains(QChar(0)))
        problem = key + QStringLiteral("= names a file with a NUL character (%00) in it, which no file name has");
    // Resolved here, once: a relative name means the file in the folder the
    // address was given in, whatever folder the program moves to later.
    if (problem.isEmpty())
        *file = QDir::cleanPath(QDir::current().absoluteFilePath(value));
    return problem.isEmpty();
}

bool ReadOptions(const QString& query, NetAddress& address, QString& problem)
{
    for (const QString& pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        const QString key = QUrl::fromPercentEncoding(pair.left(equals).toUtf8()).toLower();
        const QString value = equals < 0 ? QString() : QUrl::fromPercentEncoding(pair.mid(equals + 1).toUtf8());
        if (!ReadOption(key, value, address, problem))
            return false;
    }
    return true;
}

bool CheckTls(const NetAddress& address, QString& problem)
{
    const bool tlsOptions = !address.caFile.isEmpty() || !address.certFile.isEmpty() || !address.keyFile.isEmpty()
                            || !address.fingerprint.isEmpty();
    if (tlsOptions && !address.tls)
        problem = QStringLiteral("ca=, cert=, key= and fp= go with tls=1");
    else if (address.certFile.isEmpty() != address.keyFile.isEmpty())
        problem = QStringLiteral("cert= and key= go together: the client's certificate and its key");
    return problem.isEmpty() && TlsFilesReadable(address, problem);
}

QString Encoded(const QString& value) { return QString::fromLatin1(QUrl::toPercentEncoding(value, "/")); }

} // namespace

QString NetAddress::FarEnd() const
{
    const QString shownHost = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("%1:%2").arg(shownHost).arg(port);
}

QString NetAddress::Url() const
{
    QString url = (kind == Kind::Raw ? QStringLiteral("socket://") : QStringLiteral("rfc2217://")) + FarEnd();
    if (!tls)
        return url;
    url += QStringLiteral("?tls=1");
    const QList<std::pair<const char*, QString>> files = {{"ca", caFile}, {"cert", certFile}, {"key", keyFile}};
    for (const auto& [key, file] : files)
        if (!file.isEmpty())
            url += QStringLiteral("&%1=%2").arg(QLatin1String(key), Encoded(file));
    if (!fingerprint.isEmpty())
        url += QStringLiteral("&fp=") + QString::fromLatin1(fingerprint.toHex());
    return url;
}

bool NetAddress::IsLoopback() const
{
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

bool LooksLikeNetAddress(const QString& name) { return name.contains(QLatin1String("://")); }

std::optional<NetAddress> ParseNetAddress(const QString& url, QString& problem)
{
    problem.clear();
    const QString text = url.trimmed();
    if (text.size() > kLongestAddress) {
        problem = QStringLiteral("the address is %1 characters long: an address has at most %2").arg(text.size()).arg(kLongestAddress);
        return std::nullopt;
    }
    const qsizetype schemeEnd = text.indexOf(QLatin1String("://"));
    NetAddress address;
    if (schemeEnd < 0) {
        problem = QStringLiteral("\"%1\" is not a network address: a radio on the network is %2").arg(text, kSchemes);
        return std::nullopt;
    }
    const QString rest = text.mid(schemeEnd + 3);
    const qsizetype query = rest.indexOf(QLatin1Char('?'));
    const bool read = ReadScheme(text.left(schemeEnd), address, problem)
                      && ReadHostAndPort(rest.left(query), address, problem)
                      && (query < 0 || ReadOptions(rest.mid(query + 1), address, problem)) && CheckTls(address, problem);
    return read ? std::optional<NetAddress>(address) : std::nullopt;
}

QString NetAddressProblem(const QString& name)
{
    QString problem;
    if (LooksLikeNetAddress(name))
        ParseNetAddress(name, problem);
    return problem;
}
