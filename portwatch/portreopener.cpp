#include "portwatch/portreopener.h"

#include <QLoggingCategory>

#include "link/commerror.h"
#include "panel/tavrinview.h"

Q_LOGGING_CATEGORY(lcPortWatch, "tavrin.portwatch", QtInfoMsg)

CPortReopener::CPortReopener(CTavrinView& view) : QObject(&view), m_view(view)
{
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &CPortReopener::TryReopen);
    connect(&m_view.Comm(), &CMSComm::PortLost, this, &CPortReopener::OnPortLost);
    connect(&m_view.Comm(), &CMSComm::PortOpened, this, [this] {
        if (IsRetrying())
            Back();
    });
    connect(&m_view.Comm(), &CMSComm::OpenFailed, this, [this](const CommError& error) {
        if (IsRetrying())
            StillLost(error);
    });
    connect(&m_view, &CTavrinView::Closing, &m_retry, &QTimer::stop);
}

// The panel has already shown the loss in its title and log; the attempts
// that follow add nothing there until one succeeds.
void CPortReopener::OnPortLost(const CommError& error)
{
    m_view.StopScanAndJog();
    m_lastFailure = error.text;
    m_retry.start();
}

void CPortReopener::TryReopen()
{
    if (m_view.Comm().GetPortOpen()) {
        m_retry.stop(); // opened meanwhile, from the window
        return;
    }
    try {
        m_view.OpenPortAgain();
    } catch (const CommError& error) {
        if (error.kind == CommErrorKind::OpenPending)
            m_view.StopScanAndJog(); // its answer comes later
        else
            StillLost(error);
        return;
    }
    Back();
}

void CPortReopener::Back()
{
    m_retry.stop();
    m_lastFailure.clear();
    qCInfo(lcPortWatch).noquote() << QStringLiteral("COM%1 (%2) is back and open again")
                                         .arg(m_view.Comm().GetCommPort())
                                         .arg(m_view.Comm().DeviceName());
}

// A jog or scan started while the port is away stops at the next attempt.
// A device still away is what the title already says; one that is back and
// refuses the panel (a far end whose certificate now fails the check) is
// news, told in the title and the log once for each new reason.
void CPortReopener::StillLost(const CommError& error)
{
    m_view.StopScanAndJog();
    if (error.text == m_lastFailure)
        return;
    m_lastFailure = error.text;
    if (error.kind == CommErrorKind::OpenRefused)
        m_view.ShowPortProblem(error);
    else
        qCDebug(lcPortWatch).noquote() << "still lost:" << error.text;
}
