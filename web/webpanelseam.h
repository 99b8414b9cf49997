#pragma once
// The panel as the web panel may see and touch it. A page's wish is carried
// out by the panel's own widget, pressed, typed into, chosen from or
// double-clicked as the user would, so the panel's own handler runs and the
// radio gets exactly the bytes the desktop would send.
#include <QJsonObject>
#include <functional>

#include "reading/panelreader.h"
#include "web/operatorrole.h"
#include "web/webcontrols.h"
#include "web/webpanelstate.h"

class CSilenceWatch;
class CTavrinView;

class CWebPanelSeam {
public:
    CWebPanelSeam(CTavrinView& view, const CSilenceWatch& silence);

    // The layout message: every shown control, as the page builds it.
    QJsonObject Layout() const;
    WebPanelState Snapshot() const;
    // `heard` runs as each report of the radio has been parsed.
    void WatchReports(QObject* context, std::function<void()> heard);
    // A page's "press", "enter", "choose" or "recall" by an operator of
    // this role; the refusal to show, or empty.
    QString Operate(OperatorRole role, const QJsonObject& message);

private:
    QString Refusal(OperatorRole role, const WebControl& control) const;
    QString Press(const WebControl& control);
    QString Enter(const WebControl& control, const QString& text);
    QString Choose(const WebControl& control, int index);
    QString Recall(int row);

    CTavrinView& m_view;
    CPanelReader m_reader;
};
