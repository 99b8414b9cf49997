#include "remote/browserguard.h"

#include <QRegularExpression>

QString WebPageSign(const QList<QPair<QByteArray, QByteArray>>& headers)
{
    QByteArray type;
    for (const auto& [key, value] : headers) {
        const QByteArray name = key.trimmed().toLower();
        if (name == "origin" || name == "referer")
            return QStringLiteral("it names a web page (%1)").arg(QString::fromLatin1(key));
        if (name == "content-type")
            type = value;
    }
    const QByteArray media = type.split(';').first().trimmed().toLower();
    if (media == "text/xml" || media == "application/xml")
        return {};
    return type.isEmpty() ? QStringLiteral("it has no Content-Type")
                          : QStringLiteral("its Content-Type is %1").arg(QString::fromLatin1(type.left(64)));
}

bool IsHttpRequestLine(const QByteArray& line)
{
    static const QRegularExpression requestLine(QStringLiteral("^[A-Z]+ \\S+ HTTP/\\d(\\.\\d)?\\r?$"));
    return requestLine.match(QString::fromLatin1(line)).hasMatch();
}
