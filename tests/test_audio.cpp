// The station's audio without a sound card: the Opus codec keeps a tone's
// pitch inside a listener's budget, each listener's queue loses only its
// own oldest frames, the microphone gate lets through nothing but the
// keyed holder's frames, and a sound card named wrong stops the program
// before any window.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "audio/audioconstants.h"
#include "audio/audiodevicechoice.h"
#include "audio/audiofanout.h"
#include "audio/micgate.h"
#include "audio/opusdecoder.h"
#include "audio/opusencoder.h"
#include "audio/receiveaudio.h"

namespace {

constexpr int kWaitMs = 10000;

QVector<qint16> Tone(double hertz, double amplitude, int samples)
{
    QVector<qint16> tone(samples);
    for (int i = 0; i < samples; ++i)
        tone[i] = qint16(std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * hertz * i / kAudioSampleRate)));
    return tone;
}

// From the upward zero crossings, over whole periods: the pitch, to a
// fraction of a hertz at 1 kHz over half a second.
double PitchOf(const QVector<qint16>& samples)
{
    int first = -1;
    int last = -1;
    int crossings = 0;
    for (int i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            if (first < 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return double(crossings - 1) * kAudioSampleRate / double(last - first);
}

QByteArray PcmOf(const QVector<qint16>& samples)
{
    return QByteArray(reinterpret_cast<const char*>(samples.constData()), samples.size() * qsizetype(sizeof(qint16)));
}

class FakeTransmitter : public CTransmitterQuestions {
public:
    QString HolderSession() const override { return holder; }
    bool Keyed() const override { return keyed; }
    QString holder;
    bool keyed = false;
};

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString error;
};

ToolRun RunTavrin(const QStringList& arguments)
{
    QTemporaryDir home;
    QProcess tavrin;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    tavrin.setProcessEnvironment(environment);
    tavrin.start(QStringLiteral(TAVRIN_BINARY), QStringList{QStringLiteral("--data-dir"), home.path()} + arguments);
    ToolRun run;
    if (!tavrin.waitForFinished(kWaitMs)) {
        tavrin.kill();
        tavrin.waitForFinished();
        return run;
    }
    run.exitCode = tavrin.exitCode();
    run.out = QString::fromLocal8Bit(tavrin.readAllStandardOutput());
    run.error = QString::fromLocal8Bit(tavrin.readAllStandardError());
    return run;
}

} // namespace

Q_DECLARE_METATYPE(COpusEncoder::Use)

class AudioTest : public QObject {
    Q_OBJECT
private slots:
    void codecKeepsTheToneWithinTheBudget_data()
    {
        QTest::addColumn<COpusEncoder::Use>("use");
        QTest::addColumn<double>("hertz");
        QTest::addColumn<double>("amplitude");
        QTest::newRow("1 kHz, receive audio") << COpusEncoder::Use::Audio << 1000.0 << 0.5;
        QTest::newRow("1 kHz, microphone") << COpusEncoder::Use::Voice << 1000.0 << 0.5;
        QTest::newRow("1 kHz, quiet") << COpusEncoder::Use::Audio << 1000.0 << 0.02;
        QTest::newRow("a CW note, 700 Hz") << COpusEncoder::Use::Audio << 700.0 << 0.5;
        QTest::newRow("top of SSB, 2.7 kHz") << COpusEncoder::Use::Voice << 2700.0 << 0.5;
    }
    void codecKeepsTheToneWithinTheBudget()
    {
        QFETCH(COpusEncoder::Use, use);
        QFETCH(double, hertz);
        QFETCH(double, amplitude);
        QString error;
        const std::unique_ptr<COpusEncoder> encoder = COpusEncoder::Create(use, error);
        const std::unique_ptr<COpusDecoder> decoder = COpusDecoder::Create(error);
        QVERIFY2(encoder && decoder, qPrintable(error));

        constexpr int kFrames = 50;  // one second
        const QVector<qint16> tone = Tone(hertz, amplitude, kFrames * kAudioFrameSamples);
        QVector<qint16> heard;
        qsizetype opusBytes = 0;
        for (int frame = 0; frame < kFrames; ++frame) {
            const QByteArray packet = encoder->Encode(tone.constData() + frame * kAudioFrameSamples, error);
            QVERIFY2(!packet.isEmpty(), qPrintable(error));
            opusBytes += packet.size();
            const QVector<qint16> samples = decoder->Decode(packet, error);
            QCOMPARE(samples.size(), kAudioFrameSamples);
            heard += samples;
        }
        // A second of audio: the bytes are the bit rate. With a few bytes
        // a frame for its framing a listener stays under 32 kbit/s.
        QVERIFY2(opusBytes * 8 <= 32000 - kFrames * 8 * 8, qPrintable(QString::number(opusBytes * 8)));
        // The codec's delay and its settling lie in the first half.
        const double pitch = PitchOf(heard.mid(heard.size() / 2));
        QVERIFY2(std::abs(pitch - hertz) < hertz * 0.005, qPrintable(QString::number(pitch)));
    }

    void decoderRefusesWhatIsNotOpus_data()
    {
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("empty") << QByteArray();
        // A code-3 frame needs its frame count after the first byte.
        QTest::newRow("cut short") << QByteArray("\xff", 1);
    }
    void decoderRefusesWhatIsNotOpus()
    {
        QFETCH(QByteArray, packet);
        QString error;
        const std::unique_ptr<COpusDecoder> decoder = COpusDecoder::Create(error);
        QVERIFY(decoder);
        QVERIFY(decoder->Decode(packet, error).isEmpty());
        QVERIFY(!error.isEmpty());
    }

    void receiveAudioCutsWholeFrames_data()
    {
        QTest::addColumn<int>("pieceBytes");
        QTest::newRow("one frame a piece") << kAudioFrameBytes;
        QTest::newRow("single bytes") << 1;
        QTest::newRow("odd pieces") << 1001;
        QTest::newRow("two and a half frames at once") << kAudioFrameBytes * 5 / 2;
    }
    void receiveAudioCutsWholeFrames()
    {
        QFETCH(int, pieceBytes);
        CReceiveAudio receive;
        const std::shared_ptr<CListenerQueue> first = receive.Listeners().Join();
        const std::shared_ptr<CListenerQueue> second = receive.Listeners().Join();
        QSignalSpy published(&receive, &CReceiveAudio::FramePublished);
        const QByteArray pcm = PcmOf(Tone(1000.0, 0.5, kAudioFrameSamples * 5 / 2));
        for (qsizetype at = 0; at < pcm.size(); at += pieceBytes)
            receive.Feed(pcm.mid(at, pieceBytes));
        QCOMPARE(published.count(), 2);
        QCOMPARE(first->Waiting(), 2);
        QCOMPARE(second->Waiting(), 2);
        // The half frame left over waits for the rest of itself.
        receive.Feed(pcm.left(kAudioFrameBytes / 2));
        QCOMPARE(first->Waiting(), 3);
    }

    void fanOutTakesTwentyListeners_data()
    {
        QTest::addColumn<int>("leaving");
        QTest::addColumn<bool>("nextJoins");
        QTest::newRow("the 21st is refused") << 0 << false;
        QTest::newRow("one leaves, one more may join") << 1 << true;
    }
    void fanOutTakesTwentyListeners()
    {
        QFETCH(int, leaving);
        QFETCH(bool, nextJoins);
        CAudioFanOut fanOut;
        std::vector<std::shared_ptr<CListenerQueue>> joined;
        for (int i = 0; i < CAudioFanOut::kMaxListeners; ++i) {
            joined.push_back(fanOut.Join());
            QVERIFY(joined.back());
        }
        for (int i = 0; i < leaving; ++i)
            fanOut.Leave(joined[size_t(i)]);
        QCOMPARE(fanOut.Join() != nullptr, nextJoins);
        QCOMPARE(fanOut.Listeners(), CAudioFanOut::kMaxListeners);
    }

    void slowListenerLosesItsOldestFrames_data()
    {
        QTest::addColumn<int>("published");
        QTest::addColumn<int>("waiting");
        QTest::addColumn<int>("dropped");
        QTest::addColumn<int>("oldestLeft");
        QTest::newRow("room to spare") << 4 << 4 << 0 << 0;
        QTest::newRow("exactly full") << 10 << 10 << 0 << 0;
        QTest::newRow("one too many") << 11 << 10 << 1 << 1;
        QTest::newRow("a second behind") << 60 << 10 << 50 << 50;
    }
    void slowListenerLosesItsOldestFrames()
    {
        QFETCH(int, published);
        QFETCH(int, waiting);
        QFETCH(int, dropped);
        QFETCH(int, oldestLeft);
        CAudioFanOut fanOut;
        const std::shared_ptr<CListenerQueue> slow = fanOut.Join();
        const std::shared_ptr<CListenerQueue> keepingUp = fanOut.Join();
        int heardByTheOther = 0;
        for (int frame = 0; frame < published; ++frame) {
            fanOut.Publish(QByteArray::number(frame));
            while (const std::optional<QByteArray> taken = keepingUp->Take())
                heardByTheOther += int(taken->toInt() == heardByTheOther);
        }
        QCOMPARE(heardByTheOther, published);
        QCOMPARE(keepingUp->Dropped(), quint64(0));
        QCOMPARE(slow->Waiting(), waiting);
        QCOMPARE(slow->Dropped(), quint64(dropped));
        QCOMPARE(slow->Take().value_or(QByteArray()), QByteArray::number(oldestLeft));
    }

    void micGatePlaysOnlyTheKeyedHolder_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<bool>("keyed");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("played");
        const QString ann = QStringLiteral("session-ann");
        const QString bob = QStringLiteral("session-bob");
        QTest::newRow("holder, keyed") << ann << true << ann << true;
        QTest::newRow("holder, not yet keyed") << ann << false << ann << false;
        QTest::newRow("another operator while the holder is keyed") << ann << true << bob << false;
        QTest::newRow("nobody in a browser holds it, keyed by the panel") << QString() << true << ann << false;
        QTest::newRow("a frame without a session, nobody holding") << QString() << true << QString() << false;
        QTest::newRow("nobody, not keyed") << QString() << false << ann << false;
    }
    void micGatePlaysOnlyTheKeyedHolder()
    {
        QFETCH(QString, holder);
        QFETCH(bool, keyed);
        QFETCH(QString, from);
        QFETCH(bool, played);
        FakeTransmitter transmitter;
        transmitter.holder = holder;
        transmitter.keyed = keyed;
        CMicGate gate(transmitter);
        const CMicGate::Verdict verdict = gate.Admit(from);
        QCOMPARE(verdict.play, played);
        QVERIFY(!verdict.flushFirst);
    }

    void micGateShutsAtTheUnkey_data()
    {
        QTest::addColumn<bool>("lookBetween");  // the unkey is seen before the next frame arrives
        QTest::addColumn<QString>("nextHolder");
        QTest::newRow("a frame after the unkey") << false << QString();
        QTest::newRow("looked at the unkey") << true << QString();
        QTest::newRow("another operator keys next") << false << QStringLiteral("session-bob");
    }
    void micGateShutsAtTheUnkey()
    {
        QFETCH(bool, lookBetween);
        QFETCH(QString, nextHolder);
        const QString ann = QStringLiteral("session-ann");
        FakeTransmitter transmitter;
        transmitter.holder = ann;
        transmitter.keyed = true;
        CMicGate gate(transmitter);
        QVERIFY(gate.Admit(ann).play);
        QVERIFY(!gate.ShutSinceLastPlay());

        transmitter.keyed = false;
        if (!nextHolder.isEmpty()) {
            transmitter.holder = nextHolder;
            transmitter.keyed = true;
        }
        if (lookBetween)
            QVERIFY(gate.ShutSinceLastPlay());
        const CMicGate::Verdict late = gate.Admit(ann);
        QVERIFY(!late.play);
        // What ann left buffered goes once, at the first look after the unkey.
        QCOMPARE(late.flushFirst, !lookBetween);
        QVERIFY(!gate.Admit(ann).flushFirst);
        if (!nextHolder.isEmpty())
            QVERIFY(gate.Admit(nextHolder).play);
    }

    void chooseAudioDevice_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<int>("chosen");  // -1: refused
        QTest::addColumn<QString>("sentence");
        QTest::newRow("by id") << QStringLiteral("alsa_input.usb-radio") << 1 << QString();
        QTest::newRow("by description") << QStringLiteral("Radio Interface") << 1 << QString();
        QTest::newRow("description in another case") << QStringLiteral("radio interface") << 1 << QString();
        QTest::newRow("an id wins over a description") << QStringLiteral("Built-in Audio") << 2 << QString();
        QTest::newRow("two share the description") << QStringLiteral("USB Audio") << -1 << QStringLiteral("name one by its id");
        QTest::newRow("unknown") << QStringLiteral("Nothing") << -1 << QStringLiteral("no audio input named \"Nothing\"");
    }
    void chooseAudioDevice()
    {
        QFETCH(QString, wanted);
        QFETCH(int, chosen);
        QFETCH(QString, sentence);
        const QList<AudioDeviceName> devices{
            {QStringLiteral("alsa_input.pci-0000"), QStringLiteral("Built-in Audio")},
            {QStringLiteral("alsa_input.usb-radio"), QStringLiteral("Radio Interface")},
            {QStringLiteral("Built-in Audio"), QStringLiteral("Odd one named by an id")},
            {QStringLiteral("alsa_input.usb-1"), QStringLiteral("USB Audio")},
            {QStringLiteral("alsa_input.usb-2"), QStringLiteral("USB Audio")},
        };
        QString problem;
        const std::optional<int> index = ChooseAudioDevice(devices, wanted, QStringLiteral("input"), problem);
        QCOMPARE(index.value_or(-1), chosen);
        QVERIFY2(problem.contains(sentence), qPrintable(problem));
    }

    void audioOptionsAreRefusedBeforeAnyWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("unknown input") << QStringList{QStringLiteral("--audio-in"), QStringLiteral("No Such Card")}
                                       << QStringLiteral("no audio input named \"No Such Card\"");
        QTest::newRow("unknown output") << QStringList{QStringLiteral("--audio-out"), QStringLiteral("No Such Card")}
                                        << QStringLiteral("no audio output named \"No Such Card\"");
        QTest::newRow("empty name") << QStringList{QStringLiteral("--audio-in"), QStringLiteral(" ")}
                                    << QStringLiteral("--audio-in needs a device");
        QTest::newRow("with another command") << QStringList{QStringLiteral("--list-audio"), QStringLiteral("--list-operators")}
                                              << QStringLiteral("one at a time");
    }
    void audioOptionsAreRefusedBeforeAnyWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, sentence);
        const ToolRun run = RunTavrin(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.error.contains(sentence), qPrintable(run.error));
    }

    void listAudioEndsWithoutAWindow()
    {
        // Whatever this computer has, even nothing: a device a line, and done.
        const ToolRun run = RunTavrin({QStringLiteral("--list-audio")});
        QCOMPARE(run.exitCode, 0);
        for (const QString& line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            QVERIFY2(line.startsWith(QLatin1String("in  ")) || line.startsWith(QLatin1String("out ")), qPrintable(line));
    }
};

QTEST_MAIN(AudioTest)
#include "test_audio.moc"
