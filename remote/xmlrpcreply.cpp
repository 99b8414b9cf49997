#include "remote/xmlrpcreply.h"

#include <QXmlStreamWriter>

namespace {

void WriteValue(QXmlStreamWriter& xml, const QVariant& value)
{
    xml.writeStartElement(QStringLiteral("value"));
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
        xml.writeTextElement(QStringLiteral("i4"), QString::number(value.toLongLong()));
        break;
    case QMetaType::Double:
        xml.writeTextElement(QStringLiteral("double"), QString::number(value.toDouble(), 'f', 6));
        break;
    case QMetaType::Bool:
        xml.writeTextElement(QStringLiteral("boolean"), value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
        break;
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        xml.writeStartElement(QStringLiteral("array"));
        xml.writeStartElement(QStringLiteral("data"));
        for (const QVariant& item : value.toList())
            WriteValue(xml, item);
        xml.writeEndElement();
        xml.writeEndElement();
        break;
    default:
        // Untyped, a string: Hamlib's client reads an array's items only so.
        xml.writeCharacters(value.toString());
        break;
    }
    xml.writeEndElement();
}

void WriteMember(QXmlStreamWriter& xml, const QString& name, const QVariant& value)
{
    xml.writeStartElement(QStringLiteral("member"));
    xml.writeTextElement(QStringLiteral("name"), name);
    WriteValue(xml, value);
    xml.writeEndElement();
}

// The declaration and <methodResponse> around what `write` puts inside.
template <class Write>
QByteArray Response(Write write)
{
    QByteArray reply;
    QXmlStreamWriter xml(&reply);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("methodResponse"));
    write(xml);
    xml.writeEndDocument();
    return reply.endsWith('\n') ? reply : reply + '\n';
}

} // namespace

QByteArray XmlRpcValueReply(const QVariant& value)
{
    return Response([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(QStringLiteral("params"));
        xml.writeStartElement(QStringLiteral("param"));
        WriteValue(xml, value);
    });
}

QByteArray XmlRpcFaultReply(XmlRpcFault code, const QString& reason)
{
    return Response([&](QXmlStreamWriter& xml) {
        xml.writeStartElement(QStringLiteral("fault"));
        xml.writeStartElement(QStringLiteral("value"));
        xml.writeStartElement(QStringLiteral("struct"));
        WriteMember(xml, QStringLiteral("faultCode"), int(code));
        WriteMember(xml, QStringLiteral("faultString"), reason);
    });
}
