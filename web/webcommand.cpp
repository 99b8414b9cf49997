#include "web/webcommand.h"

#include "web/webcontrols.h"
#include "web/weblog.h"
#include "web/webpanelseam.h"

namespace {

QString KeyingRefusal(const WebSession& session)
{
    if (!MayOperate(session.role))
        return QStringLiteral("Your role (%1) may watch but not change the radio.").arg(RoleName(session.role));
    if (!MayTransmit(session.role))
        return QStringLiteral("Your role (%1) may not transmit.").arg(RoleName(session.role));
    return QString();
}

QString Keying(const WebKeyingHook& keying, const WebSession& session, const QObject* page,
               const QJsonObject& message)
{
    if (const QString refusal = KeyingRefusal(session); !refusal.isEmpty())
        return refusal;
    return keying ? keying(session, page, message) : QStringLiteral("Keying is not available.");
}

} // namespace

bool IsKeyingMessage(const QJsonObject& message)
{
    const QString command = message.value(QStringLiteral("command")).toString();
    if (command == QLatin1String("key") || command == QLatin1String("unkey") || command == QLatin1String("beat"))
        return true;
    if (command != QLatin1String("press"))
        return false;
    const WebControl* control = FindWebControl(message.value(QStringLiteral("control")).toString());
    return control && control->use == WebUse::Keying;
}

QString HandleWebMessage(CWebPanelSeam* seam, const WebKeyingHook& keying, const WebSession& session,
                         const QObject* page, const QJsonObject& message)
{
    const QString what = message.value(QStringLiteral("command")).toString() + QLatin1Char(' ')
                         + message.value(QStringLiteral("control")).toString();
    // Keying says itself what it changed, once a change: its heartbeats,
    // twice a second, and a release that ends nothing would bury the rest.
    const bool keyingMessage = IsKeyingMessage(message);
    QString refusal;
    if (keyingMessage)
        refusal = Keying(keying, session, page, message);
    else if (!seam)
        refusal = QStringLiteral("The panel is not ready.");
    else
        refusal = seam->Operate(session.role, message);
    if (!refusal.isEmpty())
        qCWarning(lcWeb) << session.name << "as" << RoleName(session.role) << what.trimmed() << "refused:" << refusal;
    else if (!keyingMessage)
        qCInfo(lcWeb) << session.name << "as" << RoleName(session.role) << what.trimmed();
    return refusal;
}
