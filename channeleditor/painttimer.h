#pragma once
// How long the user waited: from a start to the end of the next paint of a
// widget, logged under tavrin.channels at debug level, so the running
// program can be timed as it is used
// (QT_LOGGING_RULES="tavrin.channels.debug=true").
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QString>

class QWidget;

Q_DECLARE_LOGGING_CATEGORY(lcChannels)

void LogAfterNextPaint(QWidget* widget, const QElapsedTimer& started, const QString& what);
