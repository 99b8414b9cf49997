#include "panel/frequencywheel.h"

#include <QWheelEvent>
#include <QWidget>
#include <cstdlib>
#include <cstring>

#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "res/resource.h"

namespace {
// A wheel notch is 15 degrees, reported in eighths of a degree.
constexpr int kEighthsPerNotch = 120;
// Devices that report only pixels (some touchpads) move this far per notch.
constexpr int kPixelsPerNotch = 15;

// The frequency the radio would report for f: the field holds 10 Hz steps.
double OnTheField(double f)
{
    char digits[8];
    EncodeFrequencyDigits(f, digits);
    return DecodeFrequencyDigits(digits);
}
} // namespace

CFrequencyWheel::CFrequencyWheel(CTavrinView& view) : QObject(&view), m_view(view)
{
    view.Form().Item(IDC_FREQ)->installEventFilter(this);
}

bool CFrequencyWheel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    // Like the Up and Down buttons, the wheel does nothing while keyed; what
    // it gathered before does not act later either.
    if (g_chTxState == 'K') {
        m_nEighths = 0;
        return true;
    }
    const int notches = TakeWholeNotches(*static_cast<QWheelEvent*>(event));
    if (notches != 0)
        m_view.Dispatch([this, notches] { Turn(notches); });
    return true;
}

// High-resolution wheels and touchpads send fractions of a notch; they add
// up until a whole notch is reached. Turning back drops what was gathered
// the other way, so the first notch back acts as soon as a notch would.
int CFrequencyWheel::TakeWholeNotches(const QWheelEvent& event)
{
    int eighths = event.angleDelta().y();
    if (eighths == 0)
        eighths = event.pixelDelta().y() * kEighthsPerNotch / kPixelsPerNotch;
    // With "natural" scrolling the frequency follows the fingers, as a
    // slider's value does.
    if (event.inverted())
        eighths = -eighths;
    if ((eighths > 0 && m_nEighths < 0) || (eighths < 0 && m_nEighths > 0))
        m_nEighths = 0;
    m_nEighths += eighths;
    const int notches = m_nEighths / kEighthsPerNotch;
    m_nEighths -= notches * kEighthsPerNotch;
    return notches;
}

// Several notches in one event go out as one command, each a step from
// the last. The wheel tunes where the radio is: the jog's limits would
// send a notch at 14200 kHz to a 7000 kHz Lower Limit.
void CFrequencyWheel::Turn(int notches)
{
    m_view.m_nJog = -1;
    double f = StartFrequency();
    for (int i = 0; i < std::abs(notches); ++i)
        f = OnTheField(StepFrom(f, notches > 0 ? g_dStep : -g_dStep));
    m_view.EncodeFrequency(f);
    m_view.SendFrequency();
    RememberSent();
    g_bChanScan = 0;
}

// Another command that tuned the radio since (Set, a recall, the buttons)
// makes the wheel's last frequency stale as well.
double CFrequencyWheel::StartFrequency() const
{
    const bool stillAwaited = m_bAwaitingReport && g_nFreqReports == m_nReportsAtSend
        && std::memcmp(m_szSentDigits, g_szSendDigits, 7) == 0;
    return stillAwaited ? DecodeFrequencyDigits(m_szSentDigits) : m_view.DecodeFrequency();
}

void CFrequencyWheel::RememberSent()
{
    // Digits that are not all digits were refused, and nothing went out.
    m_bAwaitingReport = std::strspn(g_szSendDigits, "0123456789") == 7;
    m_nReportsAtSend = g_nFreqReports;
    std::memcpy(m_szSentDigits, g_szSendDigits, sizeof m_szSentDigits);
}
