#include "reading/panelreader.h"

#include "channels/channellines.h"
#include "keying/transmitholder.h"
#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "radiowatch/silencewatch.h"

namespace {

void ReadReports(const CTavrinView& v, PanelReading& r)
{
    r.freqText = v.m_strFreq;
    r.freqKhz = g_dLastFreq;
    r.freqReported = g_nFreqReports > 0;
    r.lastReport = v.m_strStatus;
    r.reports = g_nReports;
    r.mode = g_chMode;
    r.agc = g_chAgc;
    r.stepMode = g_bStepMode == 1;
}

void ReadControls(const CTavrinView& v, PanelReading& r)
{
    r.audioInput = v.m_nAudioInput;
    r.vox = v.m_nVox;
    r.clipping = v.m_bClipping;
    r.sideTone = v.m_bSideTone;
    r.bpfOff = v.m_bBpfOff;
    r.extPtt = v.m_bExtPtt;
    r.mute = v.m_bMute;
    r.localAudio = v.m_bLocalAudio;
    r.rfGain = v.m_strRfGain;
    r.bfo = v.m_strBfo;
    r.meter = v.m_nMeter;
    r.ampPower = v.m_bAmpPower;
    r.ampReady = v.m_bAmpReady;
    r.ampOperate = v.m_bAmpOperate;
    r.ampTuning = v.m_bAmpTuning;
}

void ReadTuning(const CTavrinView& v, PanelReading& r)
{
    r.panelKeyed = g_chTxState == 'K';
    r.txRx = v.m_nTxRx;
    r.step = v.m_nStep;
    r.jog = v.m_nJog;
    r.chanScan = g_bChanScan == 1;
    r.freqEntry = v.m_strFreqEntry;
    r.scanLower = v.m_strScanLower;
    r.scanUpper = v.m_strScanUpper;
    r.chanLower = v.m_strChanLower;
    r.chanUpper = v.m_strChanUpper;
    r.lastCommand = v.m_strLastCommand;
    r.channelLines = g_channelLines;
}

} // namespace

PanelReading CPanelReader::Read() const
{
    PanelReading reading;
    ReadReports(m_view, reading);
    ReadControls(m_view, reading);
    ReadTuning(m_view, reading);
    reading.portOpen = m_view.Comm().GetPortOpen();
    reading.portProblem = m_view.PortProblem();
    reading.silent = m_silence && m_silence->IsSilent();
    if (m_holder)
        reading.holder = m_holder->Holder();
    return reading;
}
