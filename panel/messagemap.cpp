// Which handler runs for which control and notification, and the one place
// where an error of the communications control ends a handler.
#include <QAbstractButton>
#include <QFocusEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QUrl>

#include "netport/netaddress.h"
#include "panel/combocontrols.h"
#include "panel/messagemap.h"
#include "panel/tavrinview.h"
#include "res/resource.h"

Q_DECLARE_LOGGING_CATEGORY(lcPanel)

namespace {

constexpr Notification kClicked = Notification::Clicked;

const MessageMapEntry kMessageMap[] = {
    {IDC_FREQ_UP, kClicked, &CTavrinView::OnFreqUp},
    {IDC_FREQ_DOWN, kClicked, &CTavrinView::OnFreqDown},
    {IDC_STEP_500K, kClicked, &CTavrinView::OnStep500kHz},
    {IDC_STEP_100K, kClicked, &CTavrinView::OnStep100kHz},
    {IDC_STEP_50K, kClicked, &CTavrinView::OnStep50kHz},
    {IDC_STEP_10K, kClicked, &CTavrinView::OnStep10kHz},
    {IDC_STEP_5K, kClicked, &CTavrinView::OnStep5kHz},
    {IDC_STEP_1K, kClicked, &CTavrinView::OnStep1kHz},
    {IDC_STEP_500, kClicked, &CTavrinView::OnStep500Hz},
    {IDC_STEP_100, kClicked, &CTavrinView::OnStep100Hz},
    {IDC_STEP_50, kClicked, &CTavrinView::OnStep50Hz},
    {IDC_STEP_10, kClicked, &CTavrinView::OnStep10Hz},
    {IDC_JOG_UP, kClicked, &CTavrinView::OnJogUp},
    {IDC_JOG_DOWN, kClicked, &CTavrinView::OnJogDown},
    {IDC_SET_FREQ, kClicked, &CTavrinView::OnSetFreq},
    {IDC_SAVE_CHANNEL, kClicked, &CTavrinView::OnSaveChannel},
    {IDC_INPUT_MIC, kClicked, &CTavrinView::OnInputMic},
    {IDC_INPUT_AUDIO2, kClicked, &CTavrinView::OnInputAudio2},
    {IDC_INPUT_PATCH, kClicked, &CTavrinView::OnInputPatch},
    {IDC_CLIPPING, kClicked, &CTavrinView::OnClipping},
    {IDC_BPF_OFF, kClicked, &CTavrinView::OnBpfOff},
    {IDC_SIDE_TONE, kClicked, &CTavrinView::OnSideTone},
    {IDC_VOX_OFF, kClicked, &CTavrinView::OnVoxOff},
    {IDC_VOX_VOICE, kClicked, &CTavrinView::OnVoxVoice},
    {IDC_VOX_DATA, kClicked, &CTavrinView::OnVoxData},
    {IDC_XMIT, kClicked, &CTavrinView::OnXmit},
    {IDC_RECEIVE, kClicked, &CTavrinView::OnReceive},
    {IDC_TUNE, kClicked, &CTavrinView::OnTune},
    {IDC_EXT_PTT, kClicked, &CTavrinView::OnExtPtt},
    {IDC_MUTE, kClicked, &CTavrinView::OnMute},
    {IDC_LOCAL_AUDIO, kClicked, &CTavrinView::OnLocalAudio},
    {IDC_SET_RF_GAIN, kClicked, &CTavrinView::OnSetRfGain},
    {IDC_SET_BFO, kClicked, &CTavrinView::OnSetBfo},
    {IDC_METER_AUDIO, kClicked, &CTavrinView::OnMeterAudio},
    {IDC_METER_LINE, kClicked, &CTavrinView::OnMeterLine},
    {IDC_METER_PATCH, kClicked, &CTavrinView::OnMeterPatch},
    {IDC_METER_FWD, kClicked, &CTavrinView::OnMeterFwd},
    {IDC_METER_REV, kClicked, &CTavrinView::OnMeterRev},
    {IDC_METER_VSWR, kClicked, &CTavrinView::OnMeterVswr},
    {IDC_AMP_POWER, kClicked, &CTavrinView::OnAmpPower},
    {IDC_AMP_OPERATE, kClicked, &CTavrinView::OnAmpOperate},
    {IDC_CHAN_SCAN, kClicked, &CTavrinView::OnChanScan},
    {IDC_DTR_POWER, kClicked, &CTavrinView::OnDtrPower},
    {IDC_AGC, Notification::CloseUp, &CTavrinView::OnCloseUpAgc},
    {IDC_MODE, Notification::CloseUp, &CTavrinView::OnCloseUpMode},
    {IDC_CHANNELS, Notification::DoubleClick, &CTavrinView::OnDblClkChannels},
    {IDC_SCAN_UPPER, Notification::KillFocus, &CTavrinView::OnKillFocusScanUpper},
    {IDC_SCAN_LOWER, Notification::KillFocus, &CTavrinView::OnKillFocusScanLower},
    {IDC_CHAN_LOWER, Notification::KillFocus, &CTavrinView::OnKillFocusChanLower},
    {IDC_CHAN_UPPER, Notification::KillFocus, &CTavrinView::OnKillFocusChanUpper},
};

const int kLiveEdits[] = {IDC_RF_GAIN, IDC_BFO, IDC_SCAN_UPPER, IDC_SCAN_LOWER,
                          IDC_CHAN_LOWER, IDC_CHAN_UPPER, IDC_FREQ_ENTRY,
                          IDC_AGC, IDC_MODE, IDC_CHANNELS};

// A TLS address with its files is longer than a title has room for, and the
// reason after it would be cut off: the title names the far end alone.
QString WithShortAddress(QString text, const QString& device)
{
    if (!LooksLikeNetAddress(device))
        return text;
    const QUrl url(device);
    if (url.host().isEmpty() || url.port() < 0)
        return text;
    const QString host = url.host().contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(url.host()) : url.host();
    return text.replace(device, QStringLiteral("%1:%2").arg(host).arg(url.port()));
}

} // namespace

const MessageMapEntry* FindMessageMapEntry(int id, Notification code)
{
    for (const MessageMapEntry& entry : kMessageMap)
        if (entry.id == id && entry.code == code)
            return &entry;
    return nullptr;
}

void CTavrinView::BindMessageMap()
{
    for (const MessageMapEntry& entry : kMessageMap)
        Bind(entry);
    for (int id : kLiveEdits)
        BindLiveField(m_form.Edit(id));
    connect(&m_comm, &CMSComm::OnComm, this, [this] { Dispatch([this] { OnCommEvent(); }); });
    connect(&m_comm, &CMSComm::PortLost, this, &CTavrinView::ShowPortProblem);
    connect(&m_comm, &CMSComm::PortOpened, this, [this] { Dispatch([this] { OnPortOpened(); }); });
    // A late failure answers the open the title says is under way; one tried
    // quietly (a lost port opened again) leaves the title to the loss.
    connect(&m_comm, &CMSComm::OpenFailed, this, [this](const CommError& error) {
        if (PortProblem() == m_comm.OpeningWords())
            ShowPortProblem(error);
    });
}

void CTavrinView::Bind(const MessageMapEntry& entry)
{
    const auto notify = [this, &entry] { OnCmdMsg(entry.id, entry.code); };
    switch (entry.code) {
    case Notification::Clicked:
        connect(m_form.Button(entry.id), &QAbstractButton::clicked, this, notify);
        break;
    case Notification::CloseUp:
        connect(static_cast<DropDownCombo*>(m_form.Combo(entry.id)), &DropDownCombo::closedUp, this, notify);
        break;
    case Notification::DoubleClick:
        connect(static_cast<SimpleCombo*>(m_form.Combo(entry.id)), &SimpleCombo::doubleClicked, this, notify);
        break;
    case Notification::KillFocus:
        m_killFocusEdits.emplace_back(m_form.Edit(entry.id), entry.id);
        m_form.Edit(entry.id)->installEventFilter(this);
        break;
    }
}

bool CTavrinView::OnCmdMsg(int id, Notification code)
{
    const MessageMapEntry* entry = FindMessageMapEntry(id, code);
    return entry && Dispatch([this, entry] { (this->*entry->handler)(); });
}

// Only the user's typing is live: text the exchange itself writes into a
// field raises no notification, so a refresh never reads the form midway.
void CTavrinView::BindLiveField(QLineEdit* field)
{
    connect(field, &QLineEdit::textEdited, this, [this] {
        OnFormToState();
        OnStateToForm();
    });
}

// A context menu takes the focus only while it is open and gives it back to
// the edit; the edit has not been left.
bool CTavrinView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        for (const auto& [edit, id] : m_killFocusEdits)
            if (edit == watched)
                OnCmdMsg(id, Notification::KillFocus);
    }
    return QWidget::eventFilter(watched, event);
}

// An error of the communications control ends the handler it arises in, and
// whatever that handler changed before it stays changed.
bool CTavrinView::Dispatch(const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const CommError& error) {
        ShowPortProblem(error);
        return false;
    }
}

// A port problem is shown in the window title, where it stays until the port
// opens again: it needs no answer, and a poll failing every 3 seconds does not
// pile up boxes. The log gets each kind of problem once per open attempt.
void CTavrinView::ShowPortProblem(const CommError& error)
{
    const QString shown = PortProblem();
    if (shown == error.text)
        return;
    // Writes to a port that is already known to be gone add nothing to the
    // first, more telling, message.
    if (!shown.isEmpty() && error.kind == CommErrorKind::PortClosed)
        return;
    if (error.kind != CommErrorKind::OpenPending) // its outcome is what counts
        qCWarning(lcPanel).noquote() << "port:" << error.text;
    m_title.Set(CWindowTitle::PortProblem, error.text, WithShortAddress(error.text, m_comm.DeviceName()));
}

void CTavrinView::ClearPortProblem()
{
    m_title.Clear(CWindowTitle::PortProblem);
}
