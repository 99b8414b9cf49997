#include "support/programstate.h"

#include <algorithm>
#include <cstring>

#include "channels/channelfile.h"
#include "channels/channellines.h"
#include "channels/channellist.h"
#include "channels/channeltable.h"
#include "link/commandchannel.h"
#include "link/reportedstate.h"
#include "panel/gainbfostate.h"
#include "panel/modeagcstate.h"
#include "panel/transmitstate.h"
#include "panel/tuningstate.h"
#include "scan/chanscanstate.h"

void ResetProgramGlobals()
{
    g_strCommand.clear();
    ResetReceiveBuffer();
    g_chAgc = g_chMode = g_chAudioInput = g_chVox = g_chMeter = 0;
    g_nAmpState = 0;
    std::memset(g_szReportDigits, 0, sizeof g_szReportDigits);
    g_bStepMode = 1;
    g_dLastFreq = 0.0;
    g_nReports = 0;
    g_nFreqReports = 0;
    std::memset(g_szSendDigits, 0, sizeof g_szSendDigits);
    g_dStep = 1.0;
    g_fScanLower = g_fScanUpper = g_fFreqEntry = 0.0f;
    g_chTxState = 'U';
    g_bChanScan = 0;
    g_chNewMode = g_chNewAgc = 0;
    g_bTuning = 0;
    g_chModeBeforeTune = 0;
    g_nBfoValue = g_nBfoSent = 0;
    g_bBfoOn = 0;
    g_nCommPort = g_nBaudRate = g_nDataBits = g_nStopBits = 0;
    g_chParity = 0;
    g_nChanLower = g_nChanUpper = 0;
    std::fill(std::begin(g_dChanFreq), std::end(g_dChanFreq), 0.0);
    std::memset(g_chChanMode, 0, sizeof g_chChanMode);
    std::memset(g_chChanAgc, 0, sizeof g_chChanAgc);
    std::memset(g_chChanInput, 0, sizeof g_chChanInput);
    std::memset(g_chChanRoute, 0, sizeof g_chChanRoute);
    std::memset(g_chChanDesc, 0, sizeof g_chChanDesc);
    g_nSelChannel = 0;
    g_channelLines.clear();
    g_nScanPos = 0;
    g_channelFileLoad = ChannelFileLoad::NotYet;
    g_bToldFileLeft = false;
    g_bToldNoBackup = false;
}
