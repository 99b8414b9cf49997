#include "access/reportannouncer.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>

#include "panel/tavrinview.h"
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
    : QObject(&view), m_view(view), m_reader(view)
{
    const PanelReading now = m_reader.Read();
    m_strFreqAnnounced = now.freqText;
    m_nTxRxAnnounced = now.txRx;
    connect(&view, &CTavrinView::ReportParsed, this, &CReportAnnouncer::OnReport);
    connect(&view, &CTavrinView::TransmitChanged, this, &CReportAnnouncer::OnTransmitChanged);
    m_freqHeld.setSingleShot(true);
    connect(&m_freqHeld, &QTimer::timeout, this, [this] { AnnounceFrequency(m_reader.Read().freqText); });
}

void CReportAnnouncer::OnReport()
{
    const PanelReading now = m_reader.Read();
    if (now.freqText != m_strFreqAnnounced)
        OfferFrequency(now);
}

// The radio's report of it, or a lost link that puts the buttons back to
// Receive.
void CReportAnnouncer::OnTransmitChanged(const TransmitChange& change)
{
    if (change.radioChanged && m_reader.Read().txRx != m_nTxRxAnnounced)
        AnnounceTransmitState();
}

void CReportAnnouncer::OfferFrequency(const PanelReading& now)
{
    if (m_freqHeld.isActive())
        return;
    const qint64 since = m_sinceFreqAnnounced.isValid() ? m_sinceFreqAnnounced.elapsed() : kSteppingGapMs;
    if (now.Stepping() && since < kSteppingGapMs)
        m_freqHeld.start(int(kSteppingGapMs - since));
    else
        AnnounceFrequency(now.freqText);
}

// Also the end of a held second: the display shows the latest report by
// then, which may be the frequency last told after all.
void CReportAnnouncer::AnnounceFrequency(const CString& shown)
{
    if (shown == m_strFreqAnnounced)
        return;
    m_strFreqAnnounced = shown;
    m_sinceFreqAnnounced.start();
    AnnounceValue(m_view.Form().Edit(IDC_FREQ), ToWidgetText(shown));
}

void CReportAnnouncer::AnnounceTransmitState()
{
    m_nTxRxAnnounced = m_reader.Read().txRx;
    const auto& buttons = m_view.Form().RadioGroup(IDC_XMIT);
    if (m_nTxRxAnnounced < 0 || m_nTxRxAnnounced >= static_cast<int>(buttons.size()))
        return;
    QAbstractButton* shown = buttons[m_nTxRxAnnounced];
    AnnounceValue(shown, shown->text());
}
