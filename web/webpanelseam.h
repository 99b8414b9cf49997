#pragma once
// The panel as the web panel sees it: the controls a page builds and the
// values it shows. What a page may do to the panel is the command table's
// (webcommands.h).
#include <QJsonObject>

#include "reading/panelreader.h"
#include "web/webpanelstate.h"

class CSilenceWatch;
class CTavrinView;

class CWebPanelSeam {
public:
    CWebPanelSeam(CTavrinView& view, const CSilenceWatch& silence);

    // The layout message: every shown control, as the page builds it.
    QJsonObject Layout() const;
    WebPanelState Snapshot() const;

private:
    CTavrinView& m_view;
    CPanelReader m_reader;
};
