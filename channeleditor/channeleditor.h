#pragma once
// The Channels window as the panel offers it: "Channels..." in the Radio
// menu (Ctrl+L) opens it, closing the panel asks about its unsaved edits,
// and a close that cannot ask (the panel ended by a signal) leaves the
// channel file as it was and says so in the log.
#include <QObject>
#include <QPointer>

#include "channeleditor/channelslotsmodel.h"
#include "channeleditor/channelswindow.h"
#include "channeleditor/viewchannelseam.h"

class CTavrinView;
class QMenu;
class QWidget;

class CChannelEditor : public QObject {
    Q_OBJECT
public:
    CChannelEditor(CTavrinView& view, QMenu* radioMenu, QWidget* owner);
    ~CChannelEditor() override;

    void Open();
    // Before the panel closes: false when the user keeps the Channels
    // window, and with it the panel, open.
    bool MayClose();
    CChannelsWindow* Window() const { return m_window.data(); }

private:
    void OnPanelClosing();

    CViewChannelSeam m_seam;
    CChannelSlotsModel m_model;
    QWidget* m_owner;
    // Goes with the editor, whose model it shows, or with its owner.
    QPointer<CChannelsWindow> m_window;
};
