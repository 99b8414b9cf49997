#pragma once
// Why a server could not listen, in the user's words: "in use" for a port
// another program (or another panel) holds, rather than the socket's own
// message.
#include <QAbstractSocket>
#include <QString>

// `endpoint`: "127.0.0.1:4532"; `address`: as the user named it.
QString ListenProblem(QAbstractSocket::SocketError error, const QString& endpoint, const QString& address,
                      const QString& errorString);
