#include "remote/viewrigseam.h"

#include "link/reportedstate.h"
#include "panel/modeagcstate.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"

void CViewRigSeam::WatchReports(QObject* context, std::function<void()> heard) const
{
    QObject::connect(&m_view, &CTavrinView::ReportParsed, context, [heard = std::move(heard)] { heard(); });
}

// As the frequency Set button tunes: jog and scan stop, then the frequency
// command. One the seven digits cannot hold is not sent at all.
RigStatus CViewRigSeam::SetFrequency(double hz)
{
    const double kHz = hz / 1000.0;
    if (!FrequencyFitsField(kHz))
        return RigStatus::InvalidArgument;
    return Run([this, kHz] {
        m_view.m_nJog = -1;
        g_bChanScan = 0;
        m_view.EncodeFrequency(kHz);
        m_view.SendFrequency();
    });
}

// As the mode list does. Stepping needs the mode the radio is on; before it
// has said, nothing could be sent, and the client is told so.
RigStatus CViewRigSeam::SetMode(char mode)
{
    if (g_bStepMode == 1 && (g_chMode < '1' || g_chMode > '4'))
        return RigStatus::NotAvailable;
    return Run([this, mode] {
        g_chNewMode = mode;
        m_view.SendMode();
    });
}

RigStatus CViewRigSeam::Key()
{
    return Run([this] { m_view.OnXmit(); });
}

RigStatus CViewRigSeam::Unkey()
{
    return Run([this] { m_view.OnReceive(); });
}

RigStatus CViewRigSeam::Run(const std::function<void()>& operation)
{
    return m_view.Dispatch(operation) ? RigStatus::Ok : RigStatus::IoError;
}
