#pragma once
// A server for station programs as the user sees it: a checkable item of the
// Radio menu, which the profile remembers, and a line at the right of the
// menu bar that says where it listens and how many clients it serves, or
// why it could not start. The rig-control and flrig servers each have one.
#include <QHostAddress>
#include <QObject>
#include <optional>
#include <QString>
#include <QStringList>

#include "remote/rigctlsettings.h"

class CStationServer;
class CTavrinView;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;

struct ServerTexts {
    QString menuItem;    // "Rig Control Server"
    QString statusTip;
    QString name;        // "Rig control": "Rig control on ...", "Rig control off: ..."
    QString objectName;  // of the status line
};

class CServerService : public QObject {
    Q_OBJECT
public:
    CServerService(CStationServer& server, StationServerKind kind, ServerTexts texts, CTavrinView& view,
                   QMenu* radioMenu, QMenuBar* menuBar, const RigctlSettings& settings);

private:
    void OnTriggered(bool on);
    void Start();
    void TellWhere(const std::optional<QHostAddress>& address) const;
    void ShowStatus();
    QString StatusText() const;
    QStringList StatusWordings() const;
    QString ClientsText() const;
    QString Endpoint() const;
    QString ListenFailure() const;

    CStationServer& m_server;
    StationServerKind m_kind;
    ServerTexts m_texts;
    bool m_warnedReachable = false;  // once a run
    RigctlSettings m_settings;
    QAction* m_action;
    QLabel* m_status;
    QString m_failure;
};
