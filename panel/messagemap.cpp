// Which handler runs for which control and notification, and the one place
// where an error of the communications control ends a handler.
#include <QAbstractButton>
#include <QFocusEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QUrl>

#include "netport/netaddress.h"
#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "res/resource.h"

Q_DECLARE_LOGGING_CATEGORY(lcPanel)

namespace {

struct ClickBinding {
    int id;
    void (CTavrinView::*handler)();
};

const ClickBinding kClicks[] = {
    {IDC_FREQ_UP, &CTavrinView::OnFreqUp},
    {IDC_FREQ_DOWN, &CTavrinView::OnFreqDown},
    {IDC_STEP_500K, &CTavrinView::OnStep500kHz},
    {IDC_STEP_100K, &CTavrinView::OnStep100kHz},
    {IDC_STEP_50K, &CTavrinView::OnStep50kHz},
    {IDC_STEP_10K, &CTavrinView::OnStep10kHz},
    {IDC_STEP_5K, &CTavrinView::OnStep5kHz},
    {IDC_STEP_1K, &CTavrinView::OnStep1kHz},
    {IDC_STEP_500, &CTavrinView::OnStep500Hz},
    {IDC_STEP_100, &CTavrinView::OnStep100Hz},
    {IDC_STEP_50, &CTavrinView::OnStep50Hz},
    {IDC_STEP_10, &CTavrinView::OnStep10Hz},
    {IDC_JOG_UP, &CTavrinView::OnJogUp},
    {IDC_JOG_DOWN, &CTavrinView::OnJogDown},
    {IDC_SET_FREQ, &CTavrinView::OnSetFreq},
    {IDC_SAVE_CHANNEL, &CTavrinView::OnSaveChannel},
    {IDC_INPUT_MIC, &CTavrinView::OnInputMic},
    {IDC_INPUT_AUDIO2, &CTavrinView::OnInputAudio2},
    {IDC_INPUT_PATCH, &CTavrinView::OnInputPatch},
    {IDC_CLIPPING, &CTavrinView::OnClipping},
    {IDC_BPF_OFF, &CTavrinView::OnBpfOff},
    {IDC_SIDE_TONE, &CTavrinView::OnSideTone},
    {IDC_VOX_OFF, &CTavrinView::OnVoxOff},
    {IDC_VOX_VOICE, &CTavrinView::OnVoxVoice},
    {IDC_VOX_DATA, &CTavrinView::OnVoxData},
    {IDC_XMIT, &CTavrinView::OnXmit},
    {IDC_RECEIVE, &CTavrinView::OnReceive},
    {IDC_TUNE, &CTavrinView::OnTune},
    {IDC_EXT_PTT, &CTavrinView::OnExtPtt},
    {IDC_MUTE, &CTavrinView::OnMute},
    {IDC_LOCAL_AUDIO, &CTavrinView::OnLocalAudio},
    {IDC_SET_RF_GAIN, &CTavrinView::OnSetRfGain},
    {IDC_SET_BFO, &CTavrinView::OnSetBfo},
    {IDC_METER_AUDIO, &CTavrinView::OnMeterAudio},
    {IDC_METER_LINE, &CTavrinView::OnMeterLine},
    {IDC_METER_PATCH, &CTavrinView::OnMeterPatch},
    {IDC_METER_FWD, &CTavrinView::OnMeterFwd},
    {IDC_METER_REV, &CTavrinView::OnMeterRev},
    {IDC_METER_VSWR, &CTavrinView::OnMeterVswr},
    {IDC_AMP_POWER, &CTavrinView::OnAmpPower},
    {IDC_AMP_OPERATE, &CTavrinView::OnAmpOperate},
    {IDC_CHAN_SCAN, &CTavrinView::OnChanScan},
    {IDC_DTR_POWER, &CTavrinView::OnDtrPower},
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

void CTavrinView::BindMessageMap()
{
    for (const ClickBinding& click : kClicks)
        OnClicked(click.id, click.handler);
    for (int id : kLiveEdits)
        BindLiveField(m_form.Edit(id));
    auto* mode = static_cast<DropDownCombo*>(m_form.Combo(IDC_MODE));
    auto* agc = static_cast<DropDownCombo*>(m_form.Combo(IDC_AGC));
    auto* channels = static_cast<SimpleCombo*>(m_form.Combo(IDC_CHANNELS));
    connect(mode, &DropDownCombo::closedUp, this, [this] { Dispatch([this] { OnCloseUpMode(); }); });
    connect(agc, &DropDownCombo::closedUp, this, [this] { Dispatch([this] { OnCloseUpAgc(); }); });
    connect(channels, &SimpleCombo::doubleClicked, this, [this] { Dispatch([this] { OnDblClkChannels(); }); });
    BindKillFocus(IDC_SCAN_UPPER, &CTavrinView::OnKillFocusScanUpper);
    BindKillFocus(IDC_SCAN_LOWER, &CTavrinView::OnKillFocusScanLower);
    BindKillFocus(IDC_CHAN_LOWER, &CTavrinView::OnKillFocusChanLower);
    BindKillFocus(IDC_CHAN_UPPER, &CTavrinView::OnKillFocusChanUpper);
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

void CTavrinView::OnClicked(int id, void (CTavrinView::*handler)())
{
    connect(m_form.Button(id), &QAbstractButton::clicked, this,
            [this, handler] { Dispatch([this, handler] { (this->*handler)(); }); });
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

void CTavrinView::BindKillFocus(int id, void (CTavrinView::*handler)())
{
    QLineEdit* edit = m_form.Edit(id);
    m_killFocusHandlers.emplace_back(edit, handler);
    edit->installEventFilter(this);
}

// A context menu takes the focus only while it is open and gives it back to
// the edit; the edit has not been left.
bool CTavrinView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        for (const auto& [edit, handler] : m_killFocusHandlers)
            if (edit == watched)
                Dispatch([this, handler = handler] { (this->*handler)(); });
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
