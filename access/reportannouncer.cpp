#include "access/reportannouncer.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>

#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "res/resource.h"

namespace {
constexpr int kSteppingGapMs = 1000;

void AnnounceValue(QWidget* control, const QString& value)
{
    QAccessibleValueChangeEvent event(control, value);
    QAccessible::updateAccessibility(&event);
}
} // namespace

CReportAnnouncer::CReportAnnouncer(CTavrinView& view)
    : QObject(&view), m_view(view), m_strFreqAnnounced(view.m_strFreq), m_nTxRxAnnounced(view.m_nTxRx)
{
    connect(&view, &CTavrinView::ReportParsed, this, &CReportAnnouncer::OnReport);
    connect(&view, &CTavrinView::TransmitChanged, this, &CReportAnnouncer::OnTransmitChanged);
    m_freqHeld.setSingleShot(true);
    connect(&m_freqHeld, &QTimer::timeout, this, &CReportAnnouncer::AnnounceFrequency);
}

void CReportAnnouncer::OnReport()
{
    if (m_view.m_strFreq != m_strFreqAnnounced)
        OfferFrequency();
}

// The radio's report of it, or a lost link that puts the buttons back to
// Receive.
void CReportAnnouncer::OnTransmitChanged(const TransmitChange& change)
{
    if (change.radioChanged && m_view.m_nTxRx != m_nTxRxAnnounced)
        AnnounceTransmitState();
}

bool CReportAnnouncer::Stepping() const { return g_bChanScan == 1 || m_view.m_nJog >= 0; }

void CReportAnnouncer::OfferFrequency()
{
    if (m_freqHeld.isActive())
        return;
    const qint64 since = m_sinceFreqAnnounced.isValid() ? m_sinceFreqAnnounced.elapsed() : kSteppingGapMs;
    if (Stepping() && since < kSteppingGapMs)
        m_freqHeld.start(int(kSteppingGapMs - since));
    else
        AnnounceFrequency();
}

// Also the end of a held second: the display shows the latest report by
// then, which may be the frequency last told after all.
void CReportAnnouncer::AnnounceFrequency()
{
    if (m_view.m_strFreq == m_strFreqAnnounced)
        return;
    m_strFreqAnnounced = m_view.m_strFreq;
    m_sinceFreqAnnounced.start();
    AnnounceValue(m_view.Form().Edit(IDC_FREQ), ToWidgetText(m_strFreqAnnounced));
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
