#include "channeleditor/painttimer.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

Q_LOGGING_CATEGORY(lcChannels, "tavrin.channels", QtWarningMsg)

namespace {

class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* widget, const QElapsedTimer& started, const QString& what)
        : QObject(widget), m_started(started), m_what(what)
    {
        widget->installEventFilter(this);
    }

    // The paint runs once this returns; the log waits until it is done.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                qCDebug(lcChannels).noquote() << m_what << "in" << m_started.nsecsElapsed() / 1e6 << "ms";
                deleteLater();
            });
        }
        return false;
    }

private:
    QElapsedTimer m_started;
    QString m_what;
};

} // namespace

void LogAfterNextPaint(QWidget* widget, const QElapsedTimer& started, const QString& what)
{
    if (lcChannels().isDebugEnabled())
        new PaintWatch(widget, started, what);
}
