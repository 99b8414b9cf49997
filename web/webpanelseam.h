#pragma once
// The panel as the web panel may see and touch it: the values its fields
// show, whether the radio is heard (through the rig-control seam's rules),
// and the tuning steps and mode choice its own controls make.
#include "remote/viewrigseam.h"
#include "web/webpanelstate.h"

class CWebPanelSeam {
public:
    CWebPanelSeam(CTavrinView& view, const CSilenceWatch& silence);

    WebPanelState Snapshot() const;
    RigStatus StepUp();
    RigStatus StepDown();
    RigStatus SetMode(char mode) { return m_rig.SetMode(mode); }

private:
    CTavrinView& m_view;
    CViewRigSeam m_rig;
};
