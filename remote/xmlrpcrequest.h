#pragma once
// An XML-RPC call as a station program posts it: the method's name and its
// parameters as values (qint64, double, QString, bool, QByteArray for
// base64, QVariantList for an array, QVariantMap for a struct). Read with
// QXmlStreamReader; a document type, an unknown value type, or nesting
// deeper than a client needs is refused, with the reason.
#include <QByteArray>
#include <QString>
#include <QVariantList>
#include <optional>

struct XmlRpcCall {
    QString method;
    QVariantList params;
};

struct XmlRpcRequest {
    std::optional<XmlRpcCall> call;
    QString problem;  // why there is no call
};

// Hamlib's FLRig client puts a <?clientid="hamlib(N)"?> line before its
// call, which a strict reader refuses (an instruction's name must end in a
// blank); the line is skipped.
XmlRpcRequest ReadXmlRpcCall(const QByteArray& body);
