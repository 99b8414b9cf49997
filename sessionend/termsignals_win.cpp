#include "sessionend/termsignals.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <atomic>
#include <windows.h>

namespace {

std::atomic<CTermSignals*> g_receiver{nullptr};
std::atomic<bool> g_restored{false};

bool EndsWithReturn(DWORD type)
{
    return type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT;
}

// Called on a thread of its own. Ctrl+C and Ctrl+Break leave the process be
// once answered; a closed console, log-off and shutdown end it as soon as
// this returns, so it waits for the panel to close and end the process.
BOOL WINAPI OnConsoleEvent(DWORD type)
{
    CTermSignals* receiver = g_receiver.load();
    if (g_restored || !receiver)
        return FALSE;
    QMetaObject::invokeMethod(receiver, [receiver, type] { emit receiver->Received(int(type)); },
                              Qt::QueuedConnection);
    if (EndsWithReturn(type))
        ::Sleep(INFINITE);
    return TRUE;
}

// A program with windows learns of log-off and shutdown from the session's
// last message instead, after which Windows ends it without a further word.
class CEndSessionFilter : public QAbstractNativeEventFilter {
public:
    explicit CEndSessionFilter(CTermSignals& receiver) : m_receiver(receiver) {}

    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_ENDSESSION || !msg->wParam || m_ended || g_restored)
            return false;
        m_ended = true;
        const DWORD type = (msg->lParam & ENDSESSION_LOGOFF) ? CTRL_LOGOFF_EVENT : CTRL_SHUTDOWN_EVENT;
        emit m_receiver.EndingNow(int(type));
        return false;
    }

private:
    CTermSignals& m_receiver;
    bool m_ended = false;
};

CEndSessionFilter* g_filter = nullptr;

} // namespace

CTermSignals::CTermSignals(QObject* parent) : QObject(parent)
{
    g_restored = false;
    g_receiver = this;
    ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
    g_filter = new CEndSessionFilter(*this);
    QCoreApplication::instance()->installNativeEventFilter(g_filter);
}

CTermSignals::~CTermSignals()
{
    RestoreDispositions();
    ::SetConsoleCtrlHandler(&OnConsoleEvent, FALSE);
    g_receiver = nullptr;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(g_filter);
    delete g_filter;
    g_filter = nullptr;
}

// From here on each event acts as it would without this object: the
// system's own handler ends the process.
void CTermSignals::RestoreDispositions() { g_restored = true; }

QString CTermSignals::Name(int number)
{
    switch (DWORD(number)) {
    case CTRL_C_EVENT: return QStringLiteral("Ctrl+C");
    case CTRL_BREAK_EVENT: return QStringLiteral("Ctrl+Break");
    case CTRL_CLOSE_EVENT: return QStringLiteral("console closed");
    case CTRL_LOGOFF_EVENT: return QStringLiteral("log-off");
    case CTRL_SHUTDOWN_EVENT: return QStringLiteral("shutdown");
    default: return QStringLiteral("event %1").arg(number);
    }
}

void CTermSignals::EndAtOnce(int) { ::ExitProcess(STATUS_CONTROL_C_EXIT); }
