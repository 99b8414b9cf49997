#pragma once
// Where a server listening on an address is reached from elsewhere: a
// phone or another computer cannot use the loopback address, and may not
// know this computer's name, so a server listening on every address is
// reached at each address of this computer's interfaces.
#include <QHostAddress>
#include <QList>
#include <QString>

// Every address of one protocol or of both: 0.0.0.0, ::.
bool IsAnyAddress(const QHostAddress& address);
// The addresses of this computer's interfaces that are up, loopback and
// link-local ones left out (a link-local IPv6 address needs the interface
// named, which a browser's address bar does not take).
QList<QHostAddress> ReachableHostAddresses();
// `listening` itself, or for an "any" address the interfaces' addresses of
// its protocol (of both for QHostAddress::Any).
QList<QHostAddress> AddressesReaching(const QHostAddress& listening);
// "192.0.2.10" or "[2001:db8::10]", as a URL or an endpoint writes it.
QString AddressInUrl(const QHostAddress& address);
