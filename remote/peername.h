#pragma once
// A client as the record of a transmission names it: "127.0.0.1:40512",
// "[::1]:40512".
#include <QString>

class QTcpSocket;

QString PeerName(const QTcpSocket& socket);
