#include "txlog/transmissionrecorder.h"

#include <QDateTime>

#include "keying/transmitholder.h"
#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "panel/transmitchange.h"
#include "remote/rigmodes.h"
#include "txlog/transmissionfile.h"
#include "txlog/unfinishedline.h"

namespace {
const QString kRadioReportedReceive = QStringLiteral("the radio reported receive");
} // namespace

CTransmissionRecorder::CTransmissionRecorder(CTransmitHolder& holder, CTavrinView& view,
                                             CTransmissionFile& file, QObject* parent)
    : QObject(parent), m_file(file)
{
    connect(&holder, &CTransmitHolder::Began, this, &CTransmissionRecorder::OnBegan);
    connect(&holder, &CTransmitHolder::Ended, this, [this](const Keyer&, const QString& why) { OnEnded(why); });
    // The radio's first word of receive: a transmission the last run left
    // open ended while nobody watched.
    connect(&view, &CTavrinView::TransmitChanged, this, [this](const TransmitChange& change) {
        if (change.radioChanged && !change.radioKeyed)
            m_file.CloseLeftOpen();
    });
}

void CTransmissionRecorder::OnBegan(const Keyer& who)
{
    if (who.kind == Keyer::Kind::Radio && m_file.TakeUpLeftOpen()) {
        m_tookUpLeftOpen = true;
        return;
    }
    TransmissionRecord record;
    record.start = QDateTime::currentDateTimeUtc();
    // Before the radio's first report its frequency is not known.
    record.frequencyKhz = g_nFreqReports > 0 ? g_dLastFreq : -1;
    if (const RigMode* mode = ModeForSetting(g_chMode))
        record.mode = QString::fromLatin1(mode->token);
    record.who = who.Who();
    record.began = who.how;
    m_file.Begin(record);
}

void CTransmissionRecorder::OnEnded(const QString& why)
{
    const bool endedByThisStart = m_tookUpLeftOpen && why == kRadioReportedReceive;
    m_tookUpLeftOpen = false;
    m_file.End(QDateTime::currentDateTimeUtc(), endedByThisStart ? QString::fromLatin1(kEndedByNextStart) : why);
}
