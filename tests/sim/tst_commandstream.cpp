#include "radiomodel.h"

#include <QRandomGenerator>
#include <QTest>

using radiosim::RadioModel;
using radiosim::RadioState;

namespace {

// What the panel writes in a session: its start-up queries, polls, keying,
// a channel recall and a few clicks, in the pieces it writes them.
const QByteArray session = QByteArray("?\n") + "H\nH\nH\n" + "V\nV\nV\n" + "S\nS\n" + "I\nI\n"
    + "D\nD\nD\nD\nD\nD\n" + "M\nM\nM\nM\n" + "A\nA\nA\n" + "?\nU" + "H\n" + "'1\n" + "\"0\n"
    + "A\nA\n" + "M\n" + "F1425000\n" + "K" + "K" + "U" + "D" + "D\nD\n" + "(0\n" + "B125\n"
    + "O2\n" + "?\nU" + "O4\n" + ",1\n";

struct Outcome
{
    QByteArray replies;
    RadioState state;
};

Outcome run(const QList<QByteArray> &writes)
{
    RadioModel model;
    Outcome outcome;
    for (const QByteArray &write : writes)
        outcome.replies += model.feed(write);
    outcome.state = model.state();
    return outcome;
}

QList<QByteArray> splitAtRandom(const QByteArray &bytes, quint32 seed)
{
    QRandomGenerator random(seed);
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = 1 + random.bounded(5);
        pieces.append(bytes.mid(at, length));
        at += length;
    }
    return pieces;
}

} // namespace

class TestCommandStream : public QObject
{
    Q_OBJECT

private slots:
    void session_givesTheSameResultHoweverItIsSplit();
    void noise_isDroppedAndTheNextCommandStillWorks_data();
    void noise_isDroppedAndTheNextCommandStillWorks();
};

void TestCommandStream::session_givesTheSameResultHoweverItIsSplit()
{
    const Outcome whole = run({session});
    QVERIFY(whole.state != RadioState());

    QList<QByteArray> bytes;
    for (char byte : session)
        bytes.append(QByteArray(1, byte));
    const Outcome byteByByte = run(bytes);
    QCOMPARE(byteByByte.state, whole.state);
    QCOMPARE(byteByByte.replies, whole.replies);

    for (quint32 seed = 1; seed <= 20; ++seed) {
        const Outcome pieces = run(splitAtRandom(session, seed));
        QCOMPARE(pieces.state, whole.state);
        QCOMPARE(pieces.replies, whole.replies);
    }
}

void TestCommandStream::noise_isDroppedAndTheNextCommandStillWorks_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<char>("mode");
    QTest::addColumn<bool>("keyed");

    QTest::newRow("unknown bytes") << QByteArray("zq7\n\nM\n") << '2' << false;
    QTest::newRow("bare D then a step") << QByteArray("DM\n") << '2' << false;
    QTest::newRow("cut-off frequency") << QByteArray("F07\nM\n") << '2' << false;
    QTest::newRow("step cut by keying") << QByteArray("MK") << '1' << true;
    QTest::newRow("too many digits") << QByteArray("F142500011\nM\n") << '2' << false;
    QTest::newRow("value without line feed") << QByteArray("(0M\n") << '2' << false;
}

void TestCommandStream::noise_isDroppedAndTheNextCommandStillWorks()
{
    QFETCH(QByteArray, input);
    QFETCH(char, mode);
    QFETCH(bool, keyed);
    RadioModel model;
    model.feed(input);
    RadioState expected;
    expected.mode = mode;
    expected.keyed = keyed;
    QCOMPARE(model.state(), expected);
}

QTEST_APPLESS_MAIN(TestCommandStream)
#include "tst_commandstream.moc"
