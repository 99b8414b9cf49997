#include "remote/reportwait.h"

#include <QLoggingCategory>

#include "remote/rigseam.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {

// One radio behind every client of every server: a run of sets it leaves
// unconfirmed is logged once, whichever clients sent them.
bool g_bUnconfirmedRun = false;

void NoteConfirmation(bool confirmed)
{
    if (confirmed == !g_bUnconfirmedRun)
        return;
    g_bUnconfirmedRun = !confirmed;
    if (confirmed)
        qCInfo(lcRemote) << "the radio confirms sets again";
    else
        qCWarning(lcRemote) << "the radio did not confirm a set within" << CReportWait::kReportWaitMs
                            << "ms; answered timed out";
}

} // namespace

CReportWait::CReportWait(const CRigSeam& rig, QObject* parent) : QObject(parent), m_rig(rig)
{
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &CReportWait::OnSettle);
    rig.WatchReports(this, [this] { OnReport(); });
}

bool CReportWait::ShownAlready(const RigExpectation& expected) const
{
    const bool shown = m_rig.ReportCount() > 0 && m_rig.Link() == RigStatus::Ok && expected.MetBy(m_rig);
    if (shown)
        NoteConfirmation(true);
    return shown;
}

void CReportWait::Start(const RigExpectation& expected)
{
    m_expected = expected;
    m_confirmed = false;
    m_settle.start(kReportWaitMs);
}

// Answered at the next turn of the loop, not inside the receive handler
// that parsed the report: the client's next command must not run there.
void CReportWait::OnReport()
{
    if (!Waiting() || m_confirmed || !m_expected.MetBy(m_rig))
        return;
    m_confirmed = true;
    m_settle.start(0);
}

void CReportWait::OnSettle()
{
    NoteConfirmation(m_confirmed);
    if (m_confirmed)
        emit Settled(RigStatus::Ok);
    else
        emit Settled(m_rig.Link() == RigStatus::IoError ? RigStatus::IoError : RigStatus::TimedOut);
}
