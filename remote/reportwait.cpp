#include "remote/reportwait.h"

#include <QLoggingCategory>

#include "remote/rigseam.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {

constexpr int kWaitTickMs = 2;

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
    m_tick.setInterval(kWaitTickMs);
    connect(&m_tick, &QTimer::timeout, this, &CReportWait::OnTick);
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
    m_reportsAtStart = m_rig.ReportCount();
    m_deadline.setRemainingTime(kReportWaitMs);
    m_tick.start();
}

void CReportWait::OnTick()
{
    const bool confirmed = m_rig.ReportCount() != m_reportsAtStart && m_expected.MetBy(m_rig);
    if (!confirmed && !m_deadline.hasExpired())
        return;
    m_tick.stop();
    NoteConfirmation(confirmed);
    if (confirmed)
        emit Settled(RigStatus::Ok);
    else
        emit Settled(m_rig.Link() == RigStatus::IoError ? RigStatus::IoError : RigStatus::TimedOut);
}
