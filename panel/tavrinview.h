#pragma once
// The front panel: one form holding every control of the program. Its
// members are the panel state; each is tied to one control and exchanged with
// it at the refresh points. The handlers live beside their subsystem:
//   link/      receive path, status parser, start-up and timers
//   panel/     tuning, mode and AGC, audio and transmit, gain/BFO/meter/amp
//   channels/  channel file, channel list, save and recall
//   scan/      channel scan and the four range edits
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "link/mscomm.h"
#include "link/reportchanges.h"
#include "panel/controlhandles.h"
#include "panel/cstring.h"
#include "panel/dialogform.h"
#include "panel/messagemap.h"
#include "panel/transmitchange.h"
#include "panel/windowtimers.h"
#include "panel/windowtitle.h"

class CDataExchange;

class CTavrinView : public QWidget {
    Q_OBJECT
public:
    explicit CTavrinView(QWidget* parent = nullptr);
    ~CTavrinView() override;

    // The view's own operations, in the order the panel's code knows them.
    virtual void ParseStatus();
    virtual void RecallChannel();
    virtual double DecodeFrequency();
    virtual void EncodeFrequency(double frequency);
    virtual void SaveChannelFile();
    virtual void LoadChannelFile();
    virtual void JogDown();
    virtual void JogUp();

    // Framework operations.
    void DoDataExchange(CDataExchange* pDX);
    bool UpdateData(bool saveAndValidate);
    void OnInitialUpdate();
    void DestroyWindow();  // the window closes: its timers end, the focus leaves, then PostNcDestroy
    void PostNcDestroy();  // the window is gone: write the channel file
    // Runs the handler the message map has for this control's notification,
    // inside Dispatch, as the control's own notification does. False when
    // it has none, or the handler ended on an error of the port.
    bool OnCmdMsg(int id, Notification code);

    // Command channel.
    void SendCommand(const CString& text);
    void SendCommand();  // sends g_strCommand as it stands
    void OnCommEvent();
    void OnPortOpened();
    void OnDtrPower();

    // Timers.
    void SetTimer(unsigned id, int periodMs) { m_timers.SetTimer(id, periodMs); }
    void OnTimer(unsigned id);

    // Live synchronisation of the form.
    void OnFormToState();
    void OnStateToForm();

    // Tuning.
    void SendFrequency();
    void OnFreqUp();
    void OnFreqDown();
    void OnStep500kHz();
    void OnStep100kHz();
    void OnStep50kHz();
    void OnStep10kHz();
    void OnStep5kHz();
    void OnStep1kHz();
    void OnStep500Hz();
    void OnStep100Hz();
    void OnStep50Hz();
    void OnStep10Hz();
    void OnJogUp();
    void OnJogDown();
    void OnSetFreq();

    // Mode and AGC.
    void OnCloseUpMode();
    void OnCloseUpAgc();
    void SendMode();
    void SendAgc();

    // Audio and transmit.
    void OnXmit();
    void OnReceive();
    void OnMute();
    void OnInputMic();
    void OnInputAudio2();
    void OnInputPatch();
    void OnClipping();
    void OnSideTone();
    void OnVoxOff();
    void OnVoxVoice();
    void OnVoxData();
    void OnTune();
    void OnExtPtt();
    void OnBpfOff();
    void OnLocalAudio();
    void SendExtPttOffLocalOff();
    void SendExtPttOnLocalOff();
    void SendExtPttOnLocalOn();
    // Tells whoever follows the transmitter that it moved, from where it
    // moved: Xmit, Receive, the parser, a lost link.
    void AnnounceTransmit(bool panelChanged, bool radioChanged);

    // Gain, BFO, meter and amplifier.
    void OnSetRfGain();
    void OnSetBfo();
    void OnMeterAudio();
    void OnMeterLine();
    void OnMeterPatch();
    void OnMeterFwd();
    void OnMeterRev();
    void OnMeterVswr();
    void OnAmpPower();
    void OnAmpOperate();

    // Channel list.
    void OnSaveChannel();
    void OnDblClkChannels();

    // Channel scan.
    void OnChanScan();
    void ScanStep();
    void OnKillFocusChanLower();
    void OnKillFocusChanUpper();
    void OnKillFocusScanUpper();
    void OnKillFocusScanLower();

    // The port as the helpers beside the panel (reopening a lost port, the
    // port chooser) drive it. OpenPortAgain throws CommError as start-up would.
    void OpenPortAgain();
    void StopScanAndJog();
    // In the title until the port opens, and in the log once.
    void ShowPortProblem(const CommError& error);

    const CDialogForm& Form() const { return m_form; }
    CMSComm& Comm() { return m_comm; }
    const CWindowTimers& Timers() const { return m_timers; }
    QString PortProblem() const { return m_title.Words(CWindowTitle::PortProblem); }
    // What the window title tells the operator beside the port problem.
    CWindowTitle& Title() { return m_title; }

    // Runs a handler as the form runs its own: an error of the serial control
    // ends it and shows in the window title, and the result is false. Whatever
    // acts on the panel from outside the form goes through here.
    bool Dispatch(const std::function<void()>& handler);

    // The panel state, in declaration order.
    CButton m_btnChanScan;
    CButton m_btnSetRfGain;
    CButton m_btnSetBfo;
    CButton m_btnTune;
    CComboBox m_cbChannels;
    CComboBox m_cbMode;
    CComboBox m_cbAgc;
    CMSComm m_comm;
    CString m_strLastCommand;
    CString m_strRfGain;
    CString m_strBfo;
    int m_nStep = -1;
    int m_nAudioInput = -1;
    int m_bClipping = 0;
    int m_bSideTone = 0;
    int m_nJog = -1;
    int m_nVox = -1;
    int m_nTxRx = -1;
    CString m_strFreq;
    CString m_strFreqEntry;
    CString m_strScanUpper;
    CString m_strScanLower;
    CString m_strChanLower;
    CString m_strChanUpper;
    int m_bBpfOff = 0;
    int m_bExtPtt = 0;
    CString m_strStatus;
    int m_nMeter = -1;
    int m_bMute = 0;
    int m_bLocalAudio = 0;
    int m_bAmpPower = 0;
    int m_bAmpReady = 0;
    int m_bAmpTuning = 0;
    int m_bAmpOperate = 0;
    CString m_strSettings = " 9600,O,7,1";
    int m_bDtrPower = 1;

signals:
    // The window is going: whatever beside the panel talks to the radio on a
    // timer or for a client stops here, with the panel's own timers.
    void Closing();
    // A status report was parsed, with what it changed. The members and the
    // last-reported globals hold it already; the form shows it at the
    // refresh that follows.
    void ReportParsed(const ReportChanges& changes);
    // The transmitter went on or off the air, or the radio said so.
    void TransmitChanged(const TransmitChange& change);

private:
    void AttachControls(CDataExchange* pDX);
    void BindMessageMap();
    void FitFrameToForm();
    void OpenPortAndQuery();
    void OpenPort();
    void SendQueries(const QList<const char*>& queries);
    void Bind(const MessageMapEntry& entry);
    void BindLiveField(QLineEdit* field);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void OnCtlColor(QWidget* control);
    void ClearPortProblem();
    void SetTuningStep(int step);
    void SendDirectAgcAndMode();
    void SendDirectSettings(char agc, char mode);
    void SendAudioInputSteps(char target);
    void SendVoxSteps(char target);
    void SendMeterSteps(char target, const char* whenNoStep);

    CDialogForm m_form;
    CWindowTimers m_timers;
    bool m_bPortTried = false;
    CWindowTitle m_title{this};
    std::vector<std::pair<QObject*, int>> m_killFocusEdits;  // and their ids
};
