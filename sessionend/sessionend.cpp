#include "sessionend/sessionend.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLoggingCategory>
#include <QMessageBox>

#include "sessionend/termsignals.h"

Q_LOGGING_CATEGORY(lcSessionEnd, "tavrin.session", QtInfoMsg)

CSessionEnd::CSessionEnd(std::function<void()> close, std::function<void()> commit)
    : m_close(std::move(close)), m_commit(std::move(commit)), m_signals(new CTermSignals(this))
{
    connect(m_signals, &CTermSignals::Received, this, &CSessionEnd::OnSignal);
    connect(m_signals, &CTermSignals::EndingNow, this, &CSessionEnd::CloseNow);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { m_commit(); });
}

CSessionEnd::~CSessionEnd() = default;

int CSessionEnd::Exec()
{
    const int status = m_ending ? 0 : QApplication::exec();
    if (!m_ending)
        return status;
    if (!m_closed)
        m_close();
    return 0;
}

// The loop that runs, and any box's loop inside it, end here; the window
// closes once they have, so no handler is left half done beneath it.
void CSessionEnd::OnSignal(int number)
{
    if (m_ending) {
        CTermSignals::EndAtOnce(number);
        return;
    }
    m_ending = true;
    m_signals->RestoreDispositions();
    qCInfo(lcSessionEnd).noquote() << QStringLiteral("%1: closing as the window does").arg(CTermSignals::Name(number));
    qApp->installEventFilter(this);
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<QDialog*>(top) && top->isVisible())
            PutAway(top);
    QCoreApplication::exit(0);
}

// No loop will run again: the panel closes here and now.
void CSessionEnd::CloseNow(int number)
{
    if (m_closed)
        return;
    if (!m_ending)
        OnSignal(number);
    m_closed = true;
    m_close();
}

bool CSessionEnd::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched))
        PutAway(static_cast<QWidget*>(watched));
    return QObject::eventFilter(watched, event);
}

// Queued: a dialog being shown has yet to start its own loop.
void CSessionEnd::PutAway(QWidget* dialog)
{
    if (auto* box = qobject_cast<QMessageBox*>(dialog))
        qCWarning(lcSessionEnd).noquote() << box->text();
    QMetaObject::invokeMethod(static_cast<QDialog*>(dialog), &QDialog::reject, Qt::QueuedConnection);
}
