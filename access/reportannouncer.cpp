#include "access/reportannouncer.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>

#include "panel/tavrinview.h"
#include "res/resource.h"

namespace {
void AnnounceValue(QWidget* control, const QString& value)
{
    QAccessibleValueChangeEvent event(control, value);
    QAccessible::updateAccessibility(&event);
}
} // namespace

// Connected after the view's own handler, so it runs once the refresh that
// follows each event of the serial control has shown the new state.
CReportAnnouncer::CReportAnnouncer(CTavrinView& view)
    : QObject(&view), m_view(view), m_strFreqAnnounced(view.m_strFreq), m_nTxRxAnnounced(view.m_nTxRx)
{
    connect(&view.Comm(), &CMSComm::OnComm, this, &CReportAnnouncer::OnRefreshed);
}

void CReportAnnouncer::OnRefreshed()
{
    if (m_view.m_strFreq != m_strFreqAnnounced)
        AnnounceFrequency();
    if (m_view.m_nTxRx != m_nTxRxAnnounced)
        AnnounceTransmitState();
}

void CReportAnnouncer::AnnounceFrequency()
{
    m_strFreqAnnounced = m_view.m_strFreq;
    QLineEdit* display = m_view.Form().Edit(IDC_FREQ);
    AnnounceValue(display, display->text());
}

void CReportAnnouncer::AnnounceTransmitState()
{
    m_nTxRxAnnounced = m_view.m_nTxRx;
    const auto& buttons = m_view.Form().RadioGroup(IDC_XMIT);
    if (m_nTxRxAnnounced < 0 || m_nTxRxAnnounced >= static_cast<int>(buttons.size()))
        return;
    QAbstractButton* shown = buttons[m_nTxRxAnnounced];
    AnnounceValue(shown, shown->text());
}
