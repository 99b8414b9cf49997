#include "access/panelaccess.h"

#include <QWidget>

#include "access/channellinetext.h"
#include "access/controlnames.h"
#include "access/frequencydisplayaccessible.h"
#include "access/reportannouncer.h"
#include "access/transmitannouncer.h"
#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "res/resource.h"

void MakePanelAccessible(CTavrinView& view)
{
    const CDialogForm& form = view.Form();
    CFrequencyDisplayAccessible::Install(form.Edit(IDC_FREQ));
    NameFormControls(form);
    // Read-only, yet a listener must be able to stop on the display to hear
    // the frequency. It keeps its place in the form's order, after the
    // command echo, so no other control moves in the tab order.
    form.Item(IDC_FREQ)->setFocusPolicy(Qt::StrongFocus);
    if (auto* channels = dynamic_cast<SimpleCombo*>(form.Combo(IDC_CHANNELS)))
        ReadChannelLinesAsText(*channels);
    new CReportAnnouncer(view);
    new CTransmitAnnouncer(view);
}
