#include "txlog/transmissionrecorder.h"

#include <QDateTime>

#include "keying/transmitholder.h"
#include "link/reportedstate.h"
#include "remote/rigmodes.h"
#include "txlog/transmissionfile.h"

CTransmissionRecorder::CTransmissionRecorder(CTransmitHolder& holder, CTransmissionFile& file, QObject* parent)
    : QObject(parent), m_file(file)
{
    connect(&holder, &CTransmitHolder::Began, this, &CTransmissionRecorder::OnBegan);
    connect(&holder, &CTransmitHolder::Ended, this, [this](const Keyer&, const QString& why) { OnEnded(why); });
}

void CTransmissionRecorder::OnBegan(const Keyer& who)
{
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

void CTransmissionRecorder::OnEnded(const QString& why) { m_file.End(QDateTime::currentDateTimeUtc(), why); }
