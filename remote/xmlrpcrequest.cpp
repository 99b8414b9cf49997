#include "remote/xmlrpcrequest.h"

#include <QVariantMap>
#include <QXmlStreamReader>

namespace {

// Arrays in arrays as deep as rig.get_bws answers, and some room.
constexpr int kMaxNesting = 8;

// The line stands after the XML declaration, before the call.
QByteArray WithoutClientId(const QByteArray& body)
{
    const qsizetype root = body.indexOf("<methodCall");
    const qsizetype start = body.indexOf("<?clientid=");
    if (start < 0 || (root >= 0 && start > root))
        return body;
    const qsizetype end = body.indexOf("?>", start);
    return end < 0 ? body : body.left(start) + body.mid(end + 2);
}

class CallReader {
public:
    explicit CallReader(const QByteArray& body) : m_xml(body) {}

    XmlRpcRequest Read()
    {
        XmlRpcRequest request;
        XmlRpcCall call;
        if (ReadCall(call) && AtEnd())
            request.call = call;
        request.problem = m_xml.hasError() ? m_xml.errorString() : m_problem;
        if (request.call && !request.problem.isEmpty())
            request.call.reset();
        return request;
    }

private:
    bool Fail(const QString& problem)
    {
        if (m_problem.isEmpty())
            m_problem = problem;
        return false;
    }

    // The next element's start, over blanks, comments and instructions;
    // false at an end tag or anything else.
    bool NextStart()
    {
        while (!m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                return true;
            case QXmlStreamReader::DTD:
                return Fail(QStringLiteral("a document type is not allowed"));
            case QXmlStreamReader::Characters:
                if (!m_xml.isWhitespace())
                    return Fail(QStringLiteral("text where an element belongs"));
                break;
            case QXmlStreamReader::EndElement:
                return false;
            default:
                break;
            }
        }
        return false;
    }

    bool Expect(const char* name)
    {
        if (!NextStart())
            return Fail(QStringLiteral("<%1> is missing").arg(QLatin1String(name)));
        if (m_xml.name() != QLatin1String(name))
            return Fail(QStringLiteral("<%1> where <%2> belongs").arg(m_xml.name(), QLatin1String(name)));
        return true;
    }

    // Past the end tag of the element we are in, with nothing else inside.
    bool Close()
    {
        if (NextStart())
            return Fail(QStringLiteral("<%1> where none belongs").arg(m_xml.name()));
        return !m_xml.hasError() && m_problem.isEmpty() && m_xml.isEndElement();
    }

    bool ReadCall(XmlRpcCall& call)
    {
        if (!Expect("methodCall") || !Expect("methodName"))
            return false;
        call.method = m_xml.readElementText().trimmed();
        if (call.method.isEmpty())
            return Fail(QStringLiteral("the method has no name"));
        if (!NextStart())
            return m_xml.isEndElement() && m_problem.isEmpty();  // no parameters
        if (m_xml.name() != QLatin1String("params"))
            return Fail(QStringLiteral("<%1> where <params> belongs").arg(m_xml.name()));
        while (NextStart()) {
            QVariant value;
            if (m_xml.name() != QLatin1String("param") || !Expect("value") || !ReadValue(value, 0) || !Close())
                return Fail(QStringLiteral("a parameter is not <param><value>"));
            call.params << value;
        }
        return m_problem.isEmpty() && !m_xml.hasError() && Close();
    }

    bool AtEnd()
    {
        while (!m_xml.atEnd() && !m_xml.hasError()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::StartElement || (token == QXmlStreamReader::Characters && !m_xml.isWhitespace()))
                return Fail(QStringLiteral("more after </methodCall>"));
        }
        return !m_xml.hasError();
    }

    // At <value>: a typed value, or its text as a string.
    bool ReadValue(QVariant& value, int depth)
    {
        if (depth > kMaxNesting)
            return Fail(QStringLiteral("values nested deeper than %1").arg(kMaxNesting));
        QString text;
        while (!m_xml.atEnd()) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::Characters:
                text += m_xml.text();
                break;
            case QXmlStreamReader::EndElement:
                value = text;
                return true;
            case QXmlStreamReader::StartElement:
                if (!text.trimmed().isEmpty())
                    return Fail(QStringLiteral("text beside a typed value"));
                return ReadTyped(value, depth) && Close();
            case QXmlStreamReader::DTD:
                return Fail(QStringLiteral("a document type is not allowed"));
            default:
                break;
            }
        }
        return false;
    }

    bool ReadTyped(QVariant& value, int depth)
    {
        const QString type = m_xml.name().toString();
        if (type == QLatin1String("array"))
            return ReadArray(value, depth);
        if (type == QLatin1String("struct"))
            return ReadStruct(value, depth);
        const QString text = m_xml.readElementText();
        if (m_xml.hasError())
            return false;
        bool ok = true;
        if (type == QLatin1String("int") || type == QLatin1String("i4") || type == QLatin1String("i8"))
            value = text.trimmed().toLongLong(&ok);
        else if (type == QLatin1String("double"))
            value = text.trimmed().toDouble(&ok);
        else if (type == QLatin1String("boolean"))
            ok = ReadBoolean(text.trimmed(), value);
        else if (type == QLatin1String("string") || type == QLatin1String("dateTime.iso8601"))
            value = text;
        else if (type == QLatin1String("base64"))
            ok = ReadBase64(text, value);
        else if (type == QLatin1String("nil"))
            value = QVariant();
        else
            return Fail(QStringLiteral("<%1> is not an XML-RPC value").arg(type));
        return ok || Fail(QStringLiteral("\"%1\" is not a %2").arg(text.left(40), type));
    }

    static bool ReadBoolean(const QString& text, QVariant& value)
    {
        if (text != QLatin1String("0") && text != QLatin1String("1"))
            return false;
        value = text == QLatin1String("1");
        return true;
    }

    static bool ReadBase64(const QString& text, QVariant& value)
    {
        const auto decoded = QByteArray::fromBase64Encoding(text.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        value = decoded.decoded;
        return bool(decoded);
    }

    bool ReadArray(QVariant& value, int depth)
    {
        if (!Expect("data"))
            return false;
        QVariantList items;
        while (NextStart()) {
            QVariant item;
            if (m_xml.name() != QLatin1String("value") || !ReadValue(item, depth + 1))
                return Fail(QStringLiteral("an array item is not a <value>"));
            items << item;
        }
        value = items;
        return m_problem.isEmpty() && !m_xml.hasError() && Close();
    }

    bool ReadStruct(QVariant& value, int depth)
    {
        QVariantMap members;
        while (NextStart()) {
            QVariant member;
            if (m_xml.name() != QLatin1String("member") || !Expect("name"))
                return Fail(QStringLiteral("a struct member is not <member><name>"));
            const QString name = m_xml.readElementText();
            if (!Expect("value") || !ReadValue(member, depth + 1) || !Close())
                return false;
            members.insert(name, member);
        }
        value = members;
        return m_problem.isEmpty() && !m_xml.hasError();
    }

    QXmlStreamReader m_xml;
    QString m_problem;
};

} // namespace

XmlRpcRequest ReadXmlRpcCall(const QByteArray& body)
{
    XmlRpcRequest request = CallReader(WithoutClientId(body)).Read();
    if (!request.call && request.problem.isEmpty())
        request.problem = QStringLiteral("not an XML-RPC call");
    return request;
}
