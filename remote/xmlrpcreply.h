#pragma once
// An XML-RPC reply: one value, or a fault with its code and reason. Either
// ends with a line feed: Hamlib's FLRig client reads up to one, and waits
// and fails without it.
#include <QByteArray>
#include <QString>
#include <QVariant>

// The codes of the XML-RPC fault code interoperability proposal, which
// clients know.
enum class XmlRpcFault {
    NotXml = -32700,
    NotACall = -32600,
    NoSuchMethod = -32601,
    BadParameters = -32602,
    Refused = -32500,  // the radio or the station says no: not heard, not confirmed, held by another
};

// A QString as an untyped (string) value, qint64 or int as an i4, double, bool, a
// QVariantList as an array; anything else as its text.
QByteArray XmlRpcValueReply(const QVariant& value);
QByteArray XmlRpcFaultReply(XmlRpcFault code, const QString& reason);
