// The page's binary audio messages: what the station takes as a frame, and
// which roles' microphone frames may go on to the transmitter's gate.
#include <QtTest>

#include "web/webaudioframe.h"

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value));
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(OperatorRole)

class WebAudioTest : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("kind");
        QTest::addColumn<quint32>("sequence");
        QTest::addColumn<int>("opusBytes");
        QTest::newRow("a microphone frame") << Bytes({2, 0, 0, 1, 2, 0xfc, 0xff}) << true << 2 << 258u << 2;
        QTest::newRow("a receive frame, top sequence") << Bytes({1, 0xff, 0xff, 0xff, 0xff, 0x08}) << true << 1
                                                       << 0xffffffffu << 1;
        QTest::newRow("nothing") << QByteArray() << false << 0 << 0u << 0;
        QTest::newRow("a header and no packet") << Bytes({2, 0, 0, 0, 1}) << false << 0 << 0u << 0;
        QTest::newRow("an unknown kind") << Bytes({3, 0, 0, 0, 1, 0xfc}) << false << 0 << 0u << 0;
        QTest::newRow("kind zero") << Bytes({0, 0, 0, 0, 1, 0xfc}) << false << 0 << 0u << 0;
        QTest::newRow("the longest packet") << Bytes({2, 0, 0, 0, 1}) + QByteArray(kWebAudioMostOpusBytes, 'x')
                                            << true << 2 << 1u << kWebAudioMostOpusBytes;
        QTest::newRow("one byte too long") << Bytes({2, 0, 0, 0, 1}) + QByteArray(kWebAudioMostOpusBytes + 1, 'x')
                                           << false << 0 << 0u << 0;
    }
    void parse()
    {
        QFETCH(QByteArray, message);
        QFETCH(bool, taken);
        const std::optional<WebAudioFrame> frame = ParseWebAudioFrame(message);
        QCOMPARE(frame.has_value(), taken);
        if (!frame)
            return;
        QTEST(int(frame->kind), "kind");
        QTEST(frame->sequence, "sequence");
        QTEST(int(frame->opus.size()), "opusBytes");
        QCOMPARE(MakeWebAudioFrame(frame->kind, frame->sequence, frame->opus), message);
    }

    void micFramesByRole_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<OperatorRole>("role");
        QTest::addColumn<bool>("toGate");
        QTest::newRow("transmit, microphone") << 2 << OperatorRole::Transmit << true;
        QTest::newRow("operate, microphone") << 2 << OperatorRole::Operate << false;
        QTest::newRow("listen, microphone") << 2 << OperatorRole::Listen << false;
        QTest::newRow("transmit, a receive frame sent back") << 1 << OperatorRole::Transmit << false;
    }
    void micFramesByRole()
    {
        QFETCH(int, kind);
        QFETCH(OperatorRole, role);
        const std::optional<WebAudioFrame> frame
            = ParseWebAudioFrame(MakeWebAudioFrame(WebAudioKind(kind), 7, QByteArray(40, 'x')));
        QVERIFY(frame);
        QTEST(MicFrameFromRole(*frame, role), "toGate");
    }
};

QTEST_MAIN(WebAudioTest)
#include "test_webaudio.moc"
