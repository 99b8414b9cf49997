// What the panel tells whoever follows it: one event for each report it
// parses, with what the report changed, and one for each move of the
// transmitter, from wherever it moved.
#include <QtTest>

#include "panel/tavrinview.h"
#include "portwatch/lostlinkreceive.h"
#include "support/panelkit.h"

namespace {

// The changes as a report would carry them, and the report's own transmit
// field after a bar: "F0703525 K M2 | K".
QString Written(const ReportChanges& changes)
{
    QStringList fields;
    for (const ReportField& field : changes.fields)
        fields << QString::fromLatin1(QByteArray(1, field.code) + field.value);
    if (changes.transmitField)
        fields << QStringLiteral("| %1").arg(QLatin1Char(changes.transmitField));
    return fields.join(QLatin1Char(' '));
}

// "panel K", "radio U", "panel U radio U".
QString Written(const TransmitChange& change)
{
    QStringList moved;
    if (change.panelChanged)
        moved << (change.panelKeyed ? QStringLiteral("panel K") : QStringLiteral("panel U"));
    if (change.radioChanged)
        moved << (change.radioKeyed ? QStringLiteral("radio K") : QStringLiteral("radio U"));
    return moved.join(QLatin1Char(' '));
}

class HeardPanel : public ViewHarness {
public:
    HeardPanel() : ViewHarness(&kFile)
    {
        Start();
        new CLostLinkReceive(View());
        QObject::connect(&View(), &CTavrinView::ReportParsed, [this](const ReportChanges& changes) {
            reports << Written(changes);
        });
        QObject::connect(&View(), &CTavrinView::TransmitChanged, [this](const TransmitChange& change) {
            moves << Written(change);
        });
    }

    QStringList reports;
    QStringList moves;

private:
    static inline const QByteArray kFile = MinimalChannelFile();
};

} // namespace

class PanelEventsTest : public QObject {
    Q_OBJECT
private slots:
    void report_isToldOnceWithWhatItChanged_data();
    void report_isToldOnceWithWhatItChanged();
    void transmitMove_isToldWhereItHappens_data();
    void transmitMove_isToldWhereItHappens();
};

// `before` is fed first and not counted; then `sent`, in one piece or a
// character at a time, and every event it raised.
void PanelEventsTest::report_isToldOnceWithWhatItChanged_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QStringList>("told");
    const QByteArray heard = "F0700000 M1 A2 U \n";
    QTest::newRow("the first report") << QByteArray() << QByteArray("F0703525 M2 K \n")
                                      << QStringList{"F0703525 K M2 | K"};
    QTest::newRow("a repeat changes nothing") << heard << heard << QStringList{"| U"};
    QTest::newRow("a line feed alone") << heard << QByteArray("\n") << QStringList{""};
    QTest::newRow("half a line is no report") << heard << QByteArray("F07152") << QStringList{};
    QTest::newRow("two reports, two events") << heard << QByteArray("F0700100 \nF0700200 \n")
                                             << QStringList{"F0700100", "F0700200"};
    QTest::newRow("tuned, and settings moved") << heard << QByteArray("F0715550 A4 H2 V1 D3 O4 \n")
                                               << QStringList{"F0715550 A4 H2 V1 D3 O4"};
    QTest::newRow("switches, as the radio words them") << heard << QByteArray("\"1 '1 (0 *1 ,1 I1 S1 \n")
                                                       << QStringList{"\"1 '1 (0 *1 ,1 I1 S1"};
    QTest::newRow("audio on is no change to Mute off") << heard << QByteArray("(1 \n") << QStringList{""};
    QTest::newRow("the radio's G ends step mode") << heard << QByteArray("G00\n") << QStringList{"G"};
    QTest::newRow("keyed and back within one line") << heard << QByteArray("K U \n") << QStringList{"| U"};
    QTest::newRow("the radio keys") << heard << QByteArray("K \n") << QStringList{"K | K"};
}

void PanelEventsTest::report_isToldOnceWithWhatItChanged()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, sent);
    QFETCH(QStringList, told);
    for (bool byCharacter : {false, true}) {
        HeardPanel panel;
        panel.Feed(before);
        panel.reports.clear();
        if (byCharacter) {
            for (char c : sent)
                panel.Feed(QByteArray(1, c));
        } else {
            panel.Feed(sent);
        }
        QCOMPARE(panel.reports, told);
    }
}

void PanelEventsTest::transmitMove_isToldWhereItHappens_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("Xmit") << QStringList{"xmit"} << QStringList{"panel K"};
    QTest::newRow("Xmit pressed twice") << QStringList{"xmit", "xmit"} << QStringList{"panel K"};
    QTest::newRow("Receive while receiving") << QStringList{"receive"} << QStringList{};
    QTest::newRow("Xmit, the radio's answer, Receive, its answer")
        << QStringList{"xmit", "K", "receive", "U"} << QStringList{"panel K", "radio K", "panel U", "radio U"};
    QTest::newRow("the radio keys by itself, twice told") << QStringList{"K", "K"} << QStringList{"radio K"};
    QTest::newRow("Tune, and Tune again") << QStringList{"tune", "tune"} << QStringList{"panel K", "panel U"};
    QTest::newRow("the link lost under a key")
        << QStringList{"xmit", "K", "lost"} << QStringList{"panel K", "radio K", "panel U radio U"};
    QTest::newRow("the link lost while receiving") << QStringList{"lost"} << QStringList{};
}

void PanelEventsTest::transmitMove_isToldWhereItHappens()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, told);
    HeardPanel panel;
    panel.Feed("F0700000 M1 A2 U \n");
    panel.moves.clear();
    for (const QString& step : steps)
        TakeTransmitStep(panel, step);
    QCOMPARE(panel.moves, told);
}

QTEST_MAIN(PanelEventsTest)
#include "test_panelevents.moc"
