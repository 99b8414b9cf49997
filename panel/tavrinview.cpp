#include "panel/tavrinview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QStyle>
#include <clocale>

#include "panel/combocontrols.h"
#include "panel/dataexchange.h"
#include "res/formtemplate.h"
#include "res/resource.h"

Q_LOGGING_CATEGORY(lcPanel, "tavrin.panel", QtWarningMsg)

CTavrinView::CTavrinView(QWidget* parent)
    : QWidget(parent),
      m_form(this, g_formTavrin),
      m_timers([this](unsigned id) { Dispatch([this, id] { OnTimer(id); }); })
{
    // Edits are parsed with "%f" and shown with "%8.2f": the decimal point is
    // a point whatever the user's locale says.
    std::setlocale(LC_NUMERIC, "C");
    // The form keeps its style's own light face under any desktop theme: it is
    // what the controls' black text is drawn against.
    setPalette(style()->standardPalette());
    setAutoFillBackground(true);
    for (QWidget* control : m_form.Controls())
        OnCtlColor(control);
    // The channel file is read before the first exchange, and fills the list.
    CDataExchange attach(m_form, false);
    AttachControls(&attach);
    BindMessageMap();
}

CTavrinView::~CTavrinView() = default;

void CTavrinView::AttachControls(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_CHAN_SCAN, m_btnChanScan);
    DDX_Control(pDX, IDC_SET_RF_GAIN, m_btnSetRfGain);
    DDX_Control(pDX, IDC_SET_BFO, m_btnSetBfo);
    DDX_Control(pDX, IDC_TUNE, m_btnTune);
    DDX_Control(pDX, IDC_CHANNELS, m_cbChannels);
    DDX_Control(pDX, IDC_MODE, m_cbMode);
    DDX_Control(pDX, IDC_AGC, m_cbAgc);
}

void CTavrinView::DoDataExchange(CDataExchange* pDX)
{
    AttachControls(pDX);
    DDX_Text(pDX, IDC_LAST_COMMAND, m_strLastCommand);
    DDX_Text(pDX, IDC_RF_GAIN, m_strRfGain);
    DDV_MaxChars(pDX, m_strRfGain, 2);
    DDX_Text(pDX, IDC_BFO, m_strBfo);
    DDV_MaxChars(pDX, m_strBfo, 5);
    DDX_Radio(pDX, IDC_STEP_500K, m_nStep);
    DDX_Radio(pDX, IDC_INPUT_MIC, m_nAudioInput);
    DDX_Check(pDX, IDC_CLIPPING, m_bClipping);
    DDX_Check(pDX, IDC_SIDE_TONE, m_bSideTone);
    DDX_Radio(pDX, IDC_JOG_UP, m_nJog);
    DDX_Radio(pDX, IDC_VOX_OFF, m_nVox);
    DDX_Radio(pDX, IDC_XMIT, m_nTxRx);
    DDX_Text(pDX, IDC_FREQ, m_strFreq);
    DDX_Text(pDX, IDC_FREQ_ENTRY, m_strFreqEntry);
    DDX_Text(pDX, IDC_SCAN_UPPER, m_strScanUpper);
    DDX_Text(pDX, IDC_SCAN_LOWER, m_strScanLower);
    DDX_Text(pDX, IDC_CHAN_LOWER, m_strChanLower);
    DDX_Text(pDX, IDC_CHAN_UPPER, m_strChanUpper);
    DDX_Check(pDX, IDC_BPF_OFF, m_bBpfOff);
    DDX_Check(pDX, IDC_EXT_PTT, m_bExtPtt);
    DDX_Text(pDX, IDC_STATUS, m_strStatus);
    DDX_Radio(pDX, IDC_METER_AUDIO, m_nMeter);
    DDX_Check(pDX, IDC_MUTE, m_bMute);
    DDX_Check(pDX, IDC_LOCAL_AUDIO, m_bLocalAudio);
    DDX_Check(pDX, IDC_AMP_POWER, m_bAmpPower);
    DDX_Check(pDX, IDC_AMP_READY, m_bAmpReady);
    DDX_Check(pDX, IDC_AMP_TUNING, m_bAmpTuning);
    DDX_Check(pDX, IDC_AMP_OPERATE, m_bAmpOperate);
    DDX_Text(pDX, IDC_SETTINGS, m_strSettings);
    DDX_Check(pDX, IDC_DTR_POWER, m_bDtrPower);
}

// As the window goes, its timers end with it, so nothing more is sent while
// the file is written (a message box may be up meanwhile); and the focus
// leaves the form, so a range typed but not yet left is taken before it is
// saved.
void CTavrinView::DestroyWindow()
{
    m_timers.KillAll();
    emit Closing();
    QWidget* focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus))
        focus->clearFocus();
    PostNcDestroy();
}

bool CTavrinView::UpdateData(bool saveAndValidate)
{
    CDataExchange exchange(m_form, saveAndValidate);
    DoDataExchange(&exchange);
    return !exchange.Failed();
}

// Before a live field shows a keystroke the whole form is read into the
// state; once shown, the state is written back. Together they keep every
// member equal to what its control shows after each keystroke.
void CTavrinView::OnFormToState() { UpdateData(true); }

void CTavrinView::OnStateToForm() { UpdateData(false); }

// The frequency display is red bold Arial on pale yellow; everything else
// draws black text with nothing behind it but the form, whatever the theme
// says. The font and colours are made once here, so painting never creates
// anything.
void CTavrinView::OnCtlColor(QWidget* control)
{
    if (control != m_form.Item(IDC_FREQ)) {
        QPalette palette = control->palette();
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(role, Qt::black);
        control->setPalette(palette);
        control->setAutoFillBackground(false);
        return;
    }
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(20);
    while (font.pixelSize() > 8 && QFontMetrics(font).height() > 20)
        font.setPixelSize(font.pixelSize() - 1); // height 20 is the cell, not the em
    control->setFont(font);
    QPalette palette = control->palette();
    palette.setColor(QPalette::Text, QColor(255, 0, 0));
    palette.setColor(QPalette::Base, QColor(237, 238, 189));
    control->setPalette(palette);
}
