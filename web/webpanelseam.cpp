#include "web/webpanelseam.h"

#include "panel/cstring.h"
#include "panel/tavrinview.h"

CWebPanelSeam::CWebPanelSeam(CTavrinView& view, const CSilenceWatch& silence) : m_view(view), m_rig(view, silence) {}

WebPanelState CWebPanelSeam::Snapshot() const
{
    WebPanelState state;
    state.frequency = ToWidgetText(m_view.m_strFreq).trimmed();
    state.mode = ToWidgetText(m_view.m_cbMode.GetWindowText());
    state.agc = ToWidgetText(m_view.m_cbAgc.GetWindowText());
    state.transmit = m_rig.ReportedTransmit();
    switch (m_rig.Link()) {
    case RigStatus::Ok:
        break;
    case RigStatus::TimedOut:
        state.link = QStringLiteral("radio silent");
        break;
    default:
        state.link = m_view.PortProblem().isEmpty() ? QStringLiteral("port closed") : m_view.PortProblem();
    }
    return state;
}

// As the panel's Up and Down buttons step the frequency.
RigStatus CWebPanelSeam::StepUp()
{
    return m_view.Dispatch([this] { m_view.OnFreqUp(); }) ? RigStatus::Ok : RigStatus::IoError;
}

RigStatus CWebPanelSeam::StepDown()
{
    return m_view.Dispatch([this] { m_view.OnFreqDown(); }) ? RigStatus::Ok : RigStatus::IoError;
}
