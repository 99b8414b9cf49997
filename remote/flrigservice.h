#pragma once
// The flrig server, its seam to the panel, and its item of the Radio menu
// with its status line.
#include <QObject>

#include "remote/flrigserver.h"
#include "remote/rigctlsettings.h"
#include "remote/viewrigseam.h"

class CSilenceWatch;
class CTavrinView;
class CTransmitHolder;
class QMenu;
class QMenuBar;

class CFlrigService : public QObject {
    Q_OBJECT
public:
    CFlrigService(CTavrinView& view, const CSilenceWatch& silence, CTransmitHolder* holder, QMenu* radioMenu,
                  QMenuBar* menuBar, const RigctlSettings& settings);
    ~CFlrigService() override;

    // What the record of access events listens to.
    CStationServer& Server() { return m_server; }

private:
    CViewRigSeam m_seam;
    CFlrigServer m_server;
};
