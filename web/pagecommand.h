#pragma once
// A page's text message as the feed reads it: a JSON object, or an empty
// one for anything else, which the command table then refuses as no
// command it knows.
#include <QJsonObject>
#include <QString>

QJsonObject PageCommandOf(const QString& text);
// Whether the message is the operator's own doing, which keeps the session
// alive; the page's heartbeat while it keys is not.
bool IsOperatorsAct(const QJsonObject& command);
