#include "txlog/stationrecord.h"

#include "panel/tavrinview.h"
#include "remote/stationserver.h"
#include "txlog/accessfile.h"
#include "txlog/transmissionfile.h"
#include "txlog/transmissionrecorder.h"

CStationRecord::CStationRecord(CTavrinView& view, CTransmitHolder& holder)
    : QObject(&view), m_view(view), m_transmissions(new CTransmissionFile(QString(), this)),
      m_access(new CAccessFile(QString()))
{
    m_accessThread.setObjectName(QStringLiteral("access record"));
    m_access->moveToThread(&m_accessThread);
    m_accessThread.start();
    connect(m_transmissions, &CTransmissionFile::Problem, this, [this](const QString& words) {
        m_transmissionsProblem = words;
        ShowProblem(words);
    });
    connect(m_access, &CAccessFile::Problem, this, [this](const QString& words) {
        m_accessProblem = words;
        ShowProblem(words);
    });
    connect(m_transmissions, &CTransmissionFile::Written, this, &CStationRecord::TransmissionWritten);
    connect(m_access, &CAccessFile::Written, this, &CStationRecord::AccessWritten);
    m_transmissions->CloseUnfinished();
    new CTransmissionRecorder(holder, view, *m_transmissions, this);
}

CStationRecord::~CStationRecord()
{
    // Queued before this, so done when it returns.
    QMetaObject::invokeMethod(m_access, [] {}, Qt::BlockingQueuedConnection);
    m_accessThread.quit();
    m_accessThread.wait();
    delete m_access;
}

void CStationRecord::Watch(CStationServer& server, const QString& name)
{
    connect(&server, &CStationServer::Access, m_access,
            [this, name](const QString& event, const QString& address) { m_access->Record(event, address, name); });
}

void CStationRecord::Record(const QString& event, const QString& address, const QString& name, const QString& server)
{
    const QString who = name.isEmpty() ? server : QStringLiteral("%1 %2").arg(server, name);
    QMetaObject::invokeMethod(m_access, [access = m_access, event, address, who] { access->Record(event, address, who); });
}

// One place in the title for both files: the problem told last, or the
// other one's while it lasts.
void CStationRecord::ShowProblem(const QString& words)
{
    const QString shown = !words.isEmpty() ? words : !m_transmissionsProblem.isEmpty() ? m_transmissionsProblem : m_accessProblem;
    m_view.Title().Set(CWindowTitle::RecordProblem, shown);
}
