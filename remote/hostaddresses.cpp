#include "remote/hostaddresses.h"

#include <QNetworkInterface>

bool IsAnyAddress(const QHostAddress& address)
{
    return address == QHostAddress(QHostAddress::Any) || address == QHostAddress(QHostAddress::AnyIPv4)
           || address == QHostAddress(QHostAddress::AnyIPv6);
}

namespace {

bool OfProtocol(const QHostAddress& address, const QHostAddress& any)
{
    if (any == QHostAddress(QHostAddress::AnyIPv4))
        return address.protocol() == QAbstractSocket::IPv4Protocol;
    if (any == QHostAddress(QHostAddress::AnyIPv6))
        return address.protocol() == QAbstractSocket::IPv6Protocol;
    return true;
}

} // namespace

QList<QHostAddress> ReachableHostAddresses()
{
    QList<QHostAddress> found;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (!address.isLoopback() && !address.isLinkLocal() && !found.contains(address))
                found.append(address);
        }
    }
    return found;
}

QList<QHostAddress> AddressesReaching(const QHostAddress& listening)
{
    if (!IsAnyAddress(listening))
        return {listening};
    QList<QHostAddress> found;
    for (const QHostAddress& address : ReachableHostAddresses())
        if (OfProtocol(address, listening))
            found.append(address);
    return found;
}

QString AddressInUrl(const QHostAddress& address)
{
    QHostAddress plain = address;
    plain.setScopeId(QString());
    return plain.protocol() == QAbstractSocket::IPv6Protocol ? QLatin1Char('[') + plain.toString() + QLatin1Char(']')
                                                              : plain.toString();
}
