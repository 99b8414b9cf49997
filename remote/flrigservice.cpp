#include "remote/flrigservice.h"

#include "remote/serverservice.h"

CFlrigService::CFlrigService(CTavrinView& view, const CSilenceWatch& silence, CTransmitHolder* holder,
                             QMenu* radioMenu, QMenuBar* menuBar, const RigctlSettings& settings)
    : m_seam(view, silence), m_server(m_seam, holder)
{
    const ServerTexts texts{QStringLiteral("Flrig Server"),
                            QStringLiteral("Let station programs read and set the radio (flrig's XML-RPC interface)"),
                            QStringLiteral("flrig"), QStringLiteral("flrigStatus")};
    new CServerService(m_server, StationServerKind::Flrig, texts, view, radioMenu, menuBar, settings);
}

CFlrigService::~CFlrigService() = default;
