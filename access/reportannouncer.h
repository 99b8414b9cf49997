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
#include <QObject>

#include "panel/cstring.h"

class CTavrinView;

class CReportAnnouncer : public QObject {
    Q_OBJECT
public:
    explicit CReportAnnouncer(CTavrinView& view);

private:
    void OnRefreshed();
    void AnnounceFrequency();
    void AnnounceTransmitState();

    CTavrinView& m_view;
    CString m_strFreqAnnounced;
    int m_nTxRxAnnounced;
};
