#pragma once
// The rig-control server as the user sees it: the checkable "Rig Control
// Server" item of the Radio menu, which the profile remembers, and a line at
// the right of the menu bar that says where it listens and how many clients
// it serves, or why it could not start.
#include <QObject>
#include <QString>

#include "remote/rigctlsettings.h"
#include "remote/rigserver.h"
#include "remote/viewrigseam.h"

class CSilenceWatch;
class CTavrinView;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;

class CRigctlService : public QObject {
    Q_OBJECT
public:
    CRigctlService(CTavrinView& view, const CSilenceWatch& silence, QMenu* radioMenu, QMenuBar* menuBar,
                   const RigctlSettings& settings);
    ~CRigctlService() override;

private:
    void OnTriggered(bool on);
    void Start();
    void ShowStatus();
    QString StatusText() const;
    QString Endpoint() const;
    QString ListenFailure() const;

    RigctlSettings m_settings;
    CViewRigSeam m_seam;
    CRigServer m_server;
    QAction* m_action;
    QLabel* m_status;
    QString m_failure;
};
