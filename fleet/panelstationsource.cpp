#include "fleet/panelstationsource.h"

#include <cmath>

#include "keying/transmitholder.h"
#include "link/reportchanges.h"
#include "panel/tavrinview.h"
#include "radiowatch/silencewatch.h"
#include "remote/rigmodes.h"
#include "txlog/stationrecord.h"
#include "txlog/transmissioncsv.h"
#include "web/webfeed.h"
#include "web/webserver.h"
#include "web/webservice.h"

namespace {

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

QString LinkWords(const PanelReading& reading)
{
    if (!reading.portOpen)
        return QStringLiteral("port closed");
    return reading.silent ? QStringLiteral("radio silent") : QString();
}

} // namespace

CPanelStationSource::CPanelStationSource(CTavrinView& view, CSilenceWatch& silence, CTransmitHolder& holder,
                                         CStationRecord& record, CWebService* web, QObject* parent)
    : CStationSource(parent), m_reader(view, &silence, &holder)
{
    WatchPanel(view, silence, holder);
    WatchRecord(record);
    if (web) {
        m_webPanel = web->Address();
        connect(&web->Server().Feed(), &CWebFeed::OperatorsChanged, this, [this](const QStringList& names) {
            m_operators = names;
            emit MayHaveChanged();
        });
    }
}

// Each of these says when what the state holds moves; nothing is looked at
// on a timer or after a character.
void CPanelStationSource::WatchPanel(CTavrinView& view, CSilenceWatch& silence, CTransmitHolder& holder)
{
    connect(&view, &CTavrinView::ReportParsed, this, &CPanelStationSource::OnReport);
    connect(&view, &CTavrinView::TransmitChanged, this, &CStationSource::MayHaveChanged);
    connect(&holder, &CTransmitHolder::Began, this, &CStationSource::MayHaveChanged);
    connect(&holder, &CTransmitHolder::Ended, this, &CStationSource::MayHaveChanged);
    connect(&silence, &CSilenceWatch::HeardChanged, this, &CStationSource::MayHaveChanged);
}

void CPanelStationSource::WatchRecord(CStationRecord& record)
{
    connect(&record, &CStationRecord::TransmissionWritten, this, [this](const TransmissionRecord& written) {
        QJsonObject line = Named(kTransmissionsHeader, TransmissionFieldTexts(written));
        line.insert(QStringLiteral("event"), written.end.isValid() || !written.ended.isEmpty() ? QStringLiteral("ended")
                                                                                               : QStringLiteral("began"));
        emit Recorded(QStringLiteral("transmissions"), line);
    });
    connect(&record, &CStationRecord::AccessWritten, this, [this](const QStringList& fields) {
        emit Recorded(QStringLiteral("access"), Named(kAccessHeader, fields));
    });
}

// A report that repeats the frequency, mode and AGC moves nothing the
// state holds; the radio's transmit field has its own event.
void CPanelStationSource::OnReport(const ReportChanges& changes)
{
    if (changes.Has('F') || changes.Has('M') || changes.Has('A'))
        emit MayHaveChanged();
}

StationState CPanelStationSource::Now() const
{
    const PanelReading reading = m_reader.Read();
    StationState state;
    if (reading.freqReported)
        state.frequencyKhz = double(std::llround(reading.freqKhz * 1000.0)) / 1000.0;
    if (const RigMode* mode = ModeForSetting(reading.mode))
        state.mode = QString::fromLatin1(mode->token);
    state.agc = AgcName(reading.agc);
    state.transmitting = reading.RadioKeyed() || reading.holder.has_value();
    if (reading.holder)
        state.holder = reading.holder->Who();
    state.link = LinkWords(reading);
    state.operators = m_operators;
    state.webPanel = m_webPanel;
    return state;
}
