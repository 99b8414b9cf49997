#include "app/headless.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <cstdio>

#include "panel/messagebox.h"
#include "portchooser/portchoice.h"

namespace {

void Tell(const QString& text)
{
    std::fprintf(stderr, "tavrin: %s\n", qPrintable(text));
    std::fflush(stderr);
}

} // namespace

void UseHeadlessPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

CHeadlessAnswers::CHeadlessAnswers()
{
    SetMessageBoxSink([](const CString& text) { Tell(ToWidgetText(text)); });
    SetPortChooserRunner([](CPortChooserDlg&) {
        Tell(QStringLiteral("the radio's port did not open; name it with --port, or as COM<n> in the profile, "
                             "and start again"));
        return int(QDialog::Rejected);
    });
    qApp->installEventFilter(this);
}

CHeadlessAnswers::~CHeadlessAnswers()
{
    SetMessageBoxSink({});
    SetPortChooserRunner({});
}

// Queued: a dialog being shown has yet to start its own loop.
bool CHeadlessAnswers::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched)) {
        if (auto* box = qobject_cast<QMessageBox*>(watched))
            Tell(box->text());
        QMetaObject::invokeMethod(static_cast<QDialog*>(watched), &QDialog::reject, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}
