#include "remote/rigctlservice.h"

#include "remote/serverservice.h"

CRigctlService::CRigctlService(CTavrinView& view, const CSilenceWatch& silence, QMenu* radioMenu, QMenuBar* menuBar,
                               const RigctlSettings& settings, CTransmitHolder* holder)
    : m_seam(view, silence), m_server(m_seam, holder)
{
    const ServerTexts texts{QStringLiteral("Rig Control Server"),
                            QStringLiteral("Let station programs read and set the radio (rigctl protocol)"),
                            QStringLiteral("Rig control"), QStringLiteral("rigctlStatus")};
    // The server's child: it goes with the server.
    new CServerService(m_server, StationServerKind::Rigctl, texts, view, radioMenu, menuBar, settings);
}

CRigctlService::~CRigctlService() = default;
