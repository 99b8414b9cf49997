#pragma once
// The rig-control server, its seam to the panel, and its item of the Radio
// menu with its status line.
#include <QObject>

#include "remote/rigctlsettings.h"
#include "remote/rigserver.h"
#include "remote/viewrigseam.h"

class CServerService;
class CSilenceWatch;
class CTavrinView;
class CTransmitHolder;
class QMenu;
class QMenuBar;

class CRigctlService : public QObject {
    Q_OBJECT
public:
    CRigctlService(CTavrinView& view, const CSilenceWatch& silence, QMenu* radioMenu, QMenuBar* menuBar,
                   const RigctlSettings& settings, CTransmitHolder* holder = nullptr);
    ~CRigctlService() override;

    // What the record of access events listens to.
    CStationServer& Server() { return m_server; }

private:
    CViewRigSeam m_seam;
    CRigServer m_server;
};
