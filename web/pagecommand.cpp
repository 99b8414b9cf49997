#include "web/pagecommand.h"

#include <QJsonDocument>

#include "web/webmessages.h"

QJsonObject PageCommandOf(const QString& text) { return QJsonDocument::fromJson(text.toUtf8()).object(); }

bool IsOperatorsAct(const QJsonObject& command)
{
    return command.value(QStringLiteral("command")).toString() != WebMessage::kBeat;
}
