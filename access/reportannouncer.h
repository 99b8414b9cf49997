#pragma once
// Tells assistive technology when the radio reports a new frequency or a
// new transmit state: one value-change event on the control that shows it,
// once for each real change. The frequency text is rewritten after every
// report, so each report is compared with what was last announced.
//
// The panel says so as the parse ends, before the refresh that shows it.
// The event carries the new value; a screen reader that reads the control
// back asks over the accessibility bus, which this thread answers once the
// receive handler, and the refresh that ends it, are done.
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
#include "reading/panelreader.h"

class CTavrinView;
struct TransmitChange;

class CReportAnnouncer : public QObject {
    Q_OBJECT
public:
    explicit CReportAnnouncer(CTavrinView& view);

private:
    void OnReport();
    void OnTransmitChanged(const TransmitChange& change);
    void OfferFrequency(const PanelReading& now);
    void AnnounceFrequency(const CString& shown);
    void AnnounceTransmitState();

    CTavrinView& m_view;
    CPanelReader m_reader;
    CString m_strFreqAnnounced;
    int m_nTxRxAnnounced;
    QElapsedTimer m_sinceFreqAnnounced;
    QTimer m_freqHeld;  // runs while a frequency waits for its second
};
