#pragma once
#include "remote/rigseam.h"

#include <functional>

#include "reading/panelreader.h"

class CSilenceWatch;
class CTavrinView;

// The panel's side of the seam: each operation is what a control of the
// panel does, run the way the panel runs its handlers, so a port error ends
// the operation and shows in the window title. Readings come from the
// panel's read side: the radio's last report, and whether it is still
// heard, from the port and from the watch that also puts a silent radio in
// the window title.
class CViewRigSeam : public CRigSeam {
public:
    CViewRigSeam(CTavrinView& view, const CSilenceWatch& silence) : m_view(view), m_reader(view, &silence) {}

    PanelReading Read() const override { return m_reader.Read(); }
    void WatchReports(QObject* context, std::function<void()> heard) const override;

    RigStatus SetFrequency(double hz) override;
    RigStatus SetMode(char mode) override;
    RigStatus Key() override;
    RigStatus Unkey() override;

private:
    RigStatus Run(const std::function<void()>& operation);

    CTavrinView& m_view;
    CPanelReader m_reader;
};
