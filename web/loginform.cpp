#include "web/loginform.h"

#include <QUrlQuery>

#include "web/operatorname.h"

LoginForm ReadLoginForm(const QByteArray& body)
{
    QByteArray spaced = body;
    spaced.replace('+', ' ');
    const QUrlQuery form(QString::fromUtf8(spaced));
    const QString typed = form.queryItemValue(QStringLiteral("name"), QUrl::FullyDecoded).trimmed();
    return {typed.size() <= kLongestOperatorName ? typed : QString(),
            form.queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded).toUtf8()};
}
