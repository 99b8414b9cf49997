#pragma once
// The mouse wheel over the frequency display: a notch up is one Delta F step
// up from where the radio is, a notch down one step down, held within the
// radio's 0 to 29999.99 kHz and never sent to a jog limit. Like the Up and
// Down push buttons it stops the jog and the channel scan, and does nothing
// while the transmitter is keyed. The display still shows only what the
// radio reports.
//
// A quick spin does not wait for the radio. Until the radio reports a
// frequency again, the next notch starts from the frequency the wheel sent
// last rather than from a report that is by then out of date; once a report
// arrives, notches start from the report again.
#include <QObject>

class CTavrinView;
class QWheelEvent;

class CFrequencyWheel : public QObject {
    Q_OBJECT
public:
    // Lives as long as the view; listens to the wheel over its display.
    explicit CFrequencyWheel(CTavrinView& view);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    int TakeWholeNotches(const QWheelEvent& event);
    void Turn(int notches);
    double StartFrequency() const;
    void RememberSent();

    CTavrinView& m_view;
    int m_nEighths = 0;           // eighths of a degree not yet a whole notch
    bool m_bAwaitingReport = false;
    unsigned m_nReportsAtSend = 0;
    char m_szSentDigits[8] = {};
};
