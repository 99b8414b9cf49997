#include "panelonradio.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "app/devicebackend.h"
#include "channels/channelfile.h"
#include "channels/channeltable.h"
#include "link/commsettings.h"
#include "panel/messagebox.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "panelregistration.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/programstate.h"
#include "support/samplefile.h"

namespace {

// Long enough that a pty's own buffering or a chunked reply's gap
// (at most 15 ms) cannot pass for the end of the traffic.
constexpr int kQuietMs = 80;
constexpr int kQuietTurns = 8;
constexpr int kNeverMs = 24 * 60 * 60 * 1000;

class Differences {
public:
    explicit Differences(CTavrinView& view) : m_view(view) {}

    void Check(const char* what, int member, int shown, int wanted)
    {
        if (member != wanted || shown != wanted)
            m_list << QStringLiteral("%1: member %2, shown %3, radio %4").arg(QLatin1String(what)).arg(member).arg(shown).arg(wanted);
    }
    void Text(const char* what, const QByteArray& member, const QString& shown, const QByteArray& wanted)
    {
        if (member != wanted || shown != QString::fromLatin1(wanted))
            m_list << QStringLiteral("%1: member \"%2\", shown \"%3\", radio \"%4\"")
                          .arg(QLatin1String(what), QString::fromLatin1(member), shown, QString::fromLatin1(wanted));
    }
    void Box(const char* what, int member, int id, bool wanted)
    {
        Check(what, member, m_view.Form().Button(id)->isChecked() ? 1 : 0, wanted ? 1 : 0);
    }
    void Group(const char* what, int member, int firstId, int wanted)
    {
        Check(what, member, CheckedRadioInGroup(m_view.Form().RadioGroup(firstId)), wanted);
    }
    QStringList List() const { return m_list; }

private:
    CTavrinView& m_view;
    QStringList m_list;
};

void CheckAmplifier(Differences& d, CTavrinView& v, char amplifier)
{
    const bool on = amplifier >= '2';
    d.Box("Pwr", v.m_bAmpPower, IDC_AMP_POWER, on);
    if (amplifier == '2')
        return; // a powered amplifier leaves Oper as it was
    d.Box("Rdy", v.m_bAmpReady, IDC_AMP_READY, amplifier == '3');
    d.Box("Oper", v.m_bAmpOperate, IDC_AMP_OPERATE, amplifier == '4');
}

} // namespace

bool UseScratchProfileSettings(const QTemporaryDir& dir)
{
    return dir.isValid() && qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
}

QByteArray RadioChannelFile()
{
    return ChannelFileWith(1, 3, [] {
        StoreChannel(0, 7035.25, "LSMR", "40 m net");
        StoreChannel(1, 14250.0, "UFAL", "Net control");
        StoreChannel(2, 2182.0, "AMPT", "Distress watch");
        StoreChannel(3, 10000.0, "CSMR", "WWV time signal");
        StoreChannel(4, 3650.0, "LOPT", "Quiet AGC");
    });
}

PanelOnRadio::PanelOnRadio(const radiosim::RadioState& initial, const QByteArray& channelFile, bool viaStableName)
{
    m_previousDir = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    QFile file(QString::fromLatin1(g_szChannelFile));
    if (!file.open(QIODevice::WriteOnly) || file.write(channelFile) != channelFile.size())
        m_setupProblem = QStringLiteral("cannot write the channel file");
    file.close();

    m_radio = std::make_unique<radiosim::RadioSimulator>();
    m_radio->setState(initial);
    if (viaStableName)
        m_radio->setStablePath(m_dir.filePath(QStringLiteral("usb-Harris_RF-350-if00-port0")));
    if (!m_radio->start()) {
        m_setupProblem = m_radio->errorString();
    } else {
        const QString device = viaStableName ? m_radio->stablePath() : m_radio->portName();
        if (radiosim::PanelRegistration::registerPort(1, device).isEmpty() || DeviceForCommPort(1) != device)
            m_setupProblem = QStringLiteral("COM1 does not lead to %1").arg(device);
    }

    ResetProgramGlobals();
    SetMessageBoxSink([this](const CString& text) { messages << QString::fromLatin1(text); });
    // As the program does: COM1 may lead to a radio behind ser2net.
    UseDeviceBackends();
    m_view = std::make_unique<CTavrinView>();
    QObject::connect(&m_view->Comm(), &CMSComm::OnComm, [this] { ++m_charactersReceived; });
    m_view->show();
}

PanelOnRadio::~PanelOnRadio()
{
    // The view writes its channel file as it goes, into the scratch directory.
    m_view.reset();
    m_radio.reset();
    SetMessageBoxSink({});
    QDir::setCurrent(m_previousDir);
}

void PanelOnRadio::Start()
{
    m_view->OnInitialUpdate();
    for (unsigned id : {1u, 2u, 3u})
        m_view->SetTimer(id, kNeverMs);
}

// Quiet is counted in turns of the event loop as well as in time: a test
// process that is not scheduled for a while must not take the pause for
// the end of the traffic, while each turn handles whatever has arrived.
bool PanelOnRadio::Settle(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QDeadlineTimer quiet(kQuietMs);
    int quietTurns = 0;
    int commands = m_radio->commandsHandled();
    int characters = m_charactersReceived;
    while (!deadline.hasExpired()) {
        QTest::qWait(5);
        if (commands != m_radio->commandsHandled() || characters != m_charactersReceived) {
            commands = m_radio->commandsHandled();
            characters = m_charactersReceived;
            quiet.setRemainingTime(kQuietMs);
            quietTurns = 0;
        } else if (++quietTurns >= kQuietTurns && quiet.hasExpired()) {
            return true;
        }
    }
    return false;
}

QString PanelDiffersFromRadio(CTavrinView& v, const radiosim::RadioState& radio)
{
    Differences d(v);
    d.Text("frequency", v.m_strFreq, v.Form().Edit(IDC_FREQ)->text(), FrequencyShown(radio));
    d.Check("mode", v.m_cbMode.GetCurSel(), v.m_cbMode.GetCurSel(), radio.mode - '1');
    d.Check("AGC", v.m_cbAgc.GetCurSel(), v.m_cbAgc.GetCurSel(), radio.agc - '1');
    d.Group("audio input", v.m_nAudioInput, IDC_INPUT_MIC, radio.audioInput - '1');
    d.Group("VOX", v.m_nVox, IDC_VOX_OFF, radio.vox - '0');
    d.Group("meter", v.m_nMeter, IDC_METER_AUDIO, radio.meter - '1');
    d.Group("Xmit/Receive", v.m_nTxRx, IDC_XMIT, radio.keyed ? 0 : 1);
    d.Box("Side Tone", v.m_bSideTone, IDC_SIDE_TONE, radio.sideTone);
    d.Box("Clipping", v.m_bClipping, IDC_CLIPPING, radio.clipping);
    d.Box("Mute", v.m_bMute, IDC_MUTE, radio.muted);
    d.Box("Ext PTT", v.m_bExtPtt, IDC_EXT_PTT, radio.extPtt);
    d.Box("LocalAudio", v.m_bLocalAudio, IDC_LOCAL_AUDIO, radio.localAudio);
    d.Box("BPF Off", v.m_bBpfOff, IDC_BPF_OFF, radio.bpfOff);
    d.Box("Tuning", v.m_bAmpTuning, IDC_AMP_TUNING, radio.ampTuning);
    CheckAmplifier(d, v, radio.amplifier);
    return d.List().join(QStringLiteral("; "));
}

QString Described(const radiosim::RadioState& s)
{
    auto flag = [](bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); };
    return QStringLiteral("F=%1 M=%2 A=%3 H=%4 V=%5 D=%6 O=%7 tuning=%8 sidetone=%9 clipping=%10 "
                          "muted=%11 extptt=%12 localaudio=%13 bpfoff=%14 keyed=%15 G=%16 B=%17 direct=%18")
        .arg(QString::number(s.frequencyKHz(), 'f', 2))
        .arg(QChar(s.mode)).arg(QChar(s.agc)).arg(QChar(s.audioInput)).arg(QChar(s.vox))
        .arg(QChar(s.meter)).arg(QChar(s.amplifier))
        .arg(flag(s.ampTuning), flag(s.sideTone), flag(s.clipping), flag(s.muted), flag(s.extPtt),
             flag(s.localAudio), flag(s.bpfOff), flag(s.keyed))
        .arg(QString::fromLatin1(s.rfGain), QString::fromLatin1(s.bfoCode), flag(s.directMode));
}

QByteArray FrequencyShown(const radiosim::RadioState& state)
{
    return QByteArray::number(state.frequencyKHz(), 'f', 3);
}

void Click(QAbstractButton* button)
{
    if (qobject_cast<QRadioButton*>(button) || qobject_cast<QCheckBox*>(button))
        ClickIndicator(button);
    else
        QTest::mouseClick(button, Qt::LeftButton);
}
