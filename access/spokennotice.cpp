#include "access/spokennotice.h"

#include <QAccessibleWidget>

namespace {
QAccessibleInterface* NoticeFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(CSpokenNotice::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}
} // namespace

CSpokenNotice::CSpokenNotice(QWidget* parent) : QWidget(parent)
{
    QAccessible::installFactory(NoticeFactory);
    setGeometry(0, 0, 0, 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

// The words are in place before the notice shows: a screen reader reads
// them when it hears of the showing, a moment later.
void CSpokenNotice::Say(const QString& words)
{
    hide();
    setAccessibleName(words);
    show();
}
