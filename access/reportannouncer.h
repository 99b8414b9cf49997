#pragma once
// Tells assistive technology when the radio reports a new frequency or a
// new transmit state: one value-change event on the control that shows it,
// once for each real change. The form is refreshed after every character
// the radio sends and the frequency text is rewritten after every report,
// so the check is made after each refresh against what was last announced.
//
// The display is an edit and Xmit/Receive are radio buttons; neither raises
// a value event of its own. The mode list does, whenever its selection
// moves, so it needs nothing from here.
//
// A scan or jog moves the frequency every half second or second, faster
// than a screen reader can say it: while one runs, the frequency is told at
// most once a second, the latest one when the second is up.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "panel/cstring.h"

class CTavrinView;

class CReportAnnouncer : public QObject {
    Q_OBJECT
public:
    explicit CReportAnnouncer(CTavrinView& view);

private:
    void OnRefreshed();
    void OfferFrequency();
    void AnnounceFrequency();
    void AnnounceTransmitState();
    bool Stepping() const;

    CTavrinView& m_view;
    CString m_strFreqAnnounced;
    int m_nTxRxAnnounced;
    QElapsedTimer m_sinceFreqAnnounced;
    QTimer m_freqHeld;  // runs while a frequency waits for its second
};
