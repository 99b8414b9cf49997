#include "fleet/panelstationsource.h"

#include <QTimer>

#include "keying/transmitholder.h"
#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "remote/rigmodes.h"
#include "remote/viewrigseam.h"
#include "txlog/stationrecord.h"
#include "txlog/transmissioncsv.h"
#include "web/webfeed.h"
#include "web/webserver.h"
#include "web/webservice.h"

namespace {

// What nothing announces (the port closing, the radio falling silent) is
// looked at this often.
constexpr int kRoundMs = 1000;

QString AgcName(char agc)
{
    static const char* const kNames[] = {"Off", "Slow", "Medium", "Fast"};
    return agc >= '1' && agc <= '4' ? QString::fromLatin1(kNames[agc - '1']) : QString();
}

QJsonObject Named(const char* header, const QStringList& fields)
{
    const QStringList names = QString::fromLatin1(header).trimmed().split(QLatin1Char(','));
    QJsonObject line;
    for (int i = 0; i < names.size() && i < fields.size(); ++i)
        line.insert(names.at(i), fields.at(i));
    return line;
}

} // namespace

CPanelStationSource::CPanelStationSource(CTavrinView& view, const CSilenceWatch& silence, CTransmitHolder& holder,
                                         CStationRecord& record, CWebService* web, QObject* parent)
    : CStationSource(parent), m_rig(std::make_unique<CViewRigSeam>(view, silence)), m_holder(holder)
{
    WatchReports(view);
    connect(&holder, &CTransmitHolder::Began, this, &CStationSource::MayHaveChanged);
    connect(&holder, &CTransmitHolder::Ended, this, &CStationSource::MayHaveChanged);
    auto* round = new QTimer(this);
    connect(round, &QTimer::timeout, this, &CStationSource::MayHaveChanged);
    round->start(kRoundMs);
    connect(&record, &CStationRecord::TransmissionWritten, this, [this](const TransmissionRecord& written) {
        QJsonObject line = Named(kTransmissionsHeader, TransmissionFieldTexts(written));
        line.insert(QStringLiteral("event"), written.end.isValid() || !written.ended.isEmpty() ? QStringLiteral("ended")
                                                                                               : QStringLiteral("began"));
        emit Recorded(QStringLiteral("transmissions"), line);
    });
    connect(&record, &CStationRecord::AccessWritten, this, [this](const QStringList& fields) {
        emit Recorded(QStringLiteral("access"), Named(kAccessHeader, fields));
    });
    if (web) {
        m_webPanel = web->Address();
        connect(&web->Server().Feed(), &CWebFeed::OperatorsChanged, this, [this](const QStringList& names) {
            m_operators = names;
            emit MayHaveChanged();
        });
    }
}

CPanelStationSource::~CPanelStationSource() = default;

// The serial control speaks after every character; only a count is
// compared then, and a report that came is told.
void CPanelStationSource::WatchReports(CTavrinView& view)
{
    m_reportsSeen = m_rig->ReportCount();
    connect(&view.Comm(), &CMSComm::OnComm, this, [this] {
        const unsigned reports = m_rig->ReportCount();
        if (reports == m_reportsSeen)
            return;
        m_reportsSeen = reports;
        emit MayHaveChanged();
    });
}

StationState CPanelStationSource::Now() const
{
    StationState state;
    if (const std::optional<qint64> hz = m_rig->ReportedFrequencyHz(); hz && g_nFreqReports > 0)
        state.frequencyKhz = double(*hz) / 1000.0;
    if (const RigMode* mode = ModeForSetting(m_rig->ReportedMode()))
        state.mode = QString::fromLatin1(mode->token);
    state.agc = AgcName(g_chAgc);
    state.transmitting = m_rig->ReportedTransmit();
    if (const std::optional<Keyer> holder = m_holder.Holder()) {
        state.holder = holder->Who();
        state.transmitting = true;
    }
    switch (m_rig->Link()) {
    case RigStatus::Ok:
        break;
    case RigStatus::TimedOut:
        state.link = QStringLiteral("radio silent");
        break;
    default:
        state.link = QStringLiteral("port closed");
    }
    state.operators = m_operators;
    state.webPanel = m_webPanel;
    return state;
}
