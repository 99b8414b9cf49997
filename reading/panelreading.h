#pragma once
// What a path beside the panel may read of it (a web page, a station
// program's server, the screen-reader layer), as one plain value: the
// panel's members and the radio's last-reported values, copied when it is
// read. It is the panel's state, whatever the form shows until its next
// refresh; nothing in it is read back from a control.
#include <QString>
#include <QStringList>
#include <optional>

#include "keying/keyer.h"
#include "panel/cstring.h"

struct PanelReading {
    // The frequency, and the report that brought it.
    CString freqText;            // m_strFreq, the display: "7035.250"
    double freqKhz = 0.0;        // g_dLastFreq
    bool freqReported = false;   // an 'F' field has come since the start
    CString lastReport;          // m_strStatus, its line feed included
    unsigned reports = 0;        // reports parsed since the start

    // Mode and AGC as the radio last reported them ('1' to '4'; 0 before
    // it has), and whether it still takes them in steps.
    char mode = 0;
    char agc = 0;
    bool stepMode = true;

    // Audio and transmit controls: positions as the radio groups take
    // them (-1 none), switches 0 or 1.
    int audioInput = -1;
    int vox = -1;
    int clipping = 0;
    int sideTone = 0;
    int bpfOff = 0;
    int extPtt = 0;
    int mute = 0;
    int localAudio = 0;

    // Gain, BFO, meter and amplifier.
    CString rfGain;
    CString bfo;
    int meter = -1;
    int ampPower = 0;
    int ampReady = 0;
    int ampOperate = 0;
    int ampTuning = 0;

    // The transmitter: as the panel keyed it, as the radio reported it
    // (m_nTxRx: 0 transmit, 1 receive, -1 not yet), and who holds it.
    bool panelKeyed = false;
    int txRx = -1;
    std::optional<Keyer> holder;

    // Tuning and scanning.
    int step = -1;               // m_nStep
    int jog = -1;                // m_nJog: -1 stopped, 0 up, 1 down
    bool chanScan = false;
    CString freqEntry;
    CString scanLower;
    CString scanUpper;
    CString chanLower;
    CString chanUpper;
    CString lastCommand;         // m_strLastCommand, the echo

    // The link: whether the port is open, why not, and whether the radio
    // has gone silent on it.
    bool portOpen = false;
    QString portProblem;
    bool silent = false;

    // What the channel list shows, a line a row.
    QStringList channelLines;

    bool RadioKeyed() const { return txRx == 0; }
    // A jog or channel scan moves the frequency on a timer.
    bool Stepping() const { return chanScan || jog >= 0; }
};
