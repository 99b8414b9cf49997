#include "support/panelkit.h"

#include <QAbstractButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTcpServer>
#include <QTest>

#include "panel/tavrinview.h"

namespace {
const QByteArray& MinimalFile()
{
    static const QByteArray file = ViewHarness::MinimalChannelFile();
    return file;
}
} // namespace

StartedPanel::StartedPanel() : ViewHarness(&MinimalFile())
{
    Start();
    TakeWrites();
}

QByteArray Shown(const QByteArrayList& writes)
{
    QByteArrayList quoted;
    for (QByteArray write : writes)
        quoted << '"' + write.replace('\n', "\\n") + '"';
    return '[' + quoted.join(' ') + ']';
}

QByteArrayList OneWriteOrNone(const QByteArray& steps)
{
    return steps.isEmpty() ? QByteArrayList() : QByteArrayList{steps};
}

void ClickIndicator(QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    const auto element = qobject_cast<QRadioButton*>(button) ? QStyle::SE_RadioButtonIndicator
                                                             : QStyle::SE_CheckBoxIndicator;
    const QRect indicator = button->style()->subElementRect(element, &option, button);
    QTest::mouseClick(button, Qt::LeftButton, {}, indicator.center());
}

bool ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void TakeTransmitStep(ViewHarness& panel, const QString& step)
{
    CTavrinView& view = panel.View();
    if (step == QLatin1String("xmit"))
        view.OnXmit();
    else if (step == QLatin1String("receive"))
        view.OnReceive();
    else if (step == QLatin1String("tune"))
        view.OnTune();
    else if (step == QLatin1String("lost"))
        emit view.Comm().PortLost(CommError{});
    else
        panel.Feed(step.toLatin1() + " \n");
}
