// The real program on a station computer with no display: --headless on
// the simulated radio, with no DISPLAY, no WAYLAND_DISPLAY and no platform
// named. Its servers answer, a box it would show goes to stderr instead of
// waiting for a click, and SIGTERM (systemctl stop) ends it as closing the
// window does: status 0, the channel file written (the one it replaced
// kept as h350save.bak).
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>
#include <csignal>

#include "programdesk.h"
#include "radiosimulator.h"
#include "support/panelkit.h"

namespace {

constexpr int kStartMs = 15000;
constexpr int kExitMs = 2000;
const QString kStart = QStringLiteral("<root>/start");
const QStringList kNoDisplay = {QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"),
                                QStringLiteral("QT_QPA_PLATFORM")};

bool AddOperator(const ProgramDesk& desk)
{
    QProcess add;
    desk.Start(add, {QStringLiteral("--add-operator"), QStringLiteral("alice"), QStringLiteral("--role"),
                     QStringLiteral("transmit")}, QString());
    add.write("password1");
    add.closeWriteChannel();
    return add.waitForFinished(kStartMs) && add.exitCode() == 0;
}

// The rig-control server's answer to "f": the loop runs, no box holds it.
QByteArray AskFrequency(quint16 port)
{
    QTcpSocket station;
    station.connectToHost(QHostAddress::LocalHost, port);
    if (!station.waitForConnected(kStartMs))
        return QByteArray();
    station.write("f\n");
    return QTest::qWaitFor([&] { return station.canReadLine(); }, kStartMs) ? station.readLine().trimmed()
                                                                            : QByteArray();
}

} // namespace

class HeadlessOnRadio : public QObject {
    Q_OBJECT

private slots:
    void headless_servesAndEndsAsTheWindowDoes_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("channelFile");
        QTest::addColumn<QByteArray>("frequency"); // rig-control's answer, in Hz
        QTest::addColumn<QByteArrayList>("told");  // on stderr, instead of a box
        QTest::newRow("SIGTERM (systemctl stop)") << SIGTERM << true << QByteArray("7035250") << QByteArrayList();
        QTest::newRow("SIGINT (Ctrl+C)") << SIGINT << true << QByteArray("7035250") << QByteArrayList();
        // The file's box and the port chooser would wait for a click.
        QTest::newRow("no channel file, no port") << SIGTERM << false << QByteArray()
                                                  << QByteArrayList{"tavrin: Saved Data File did not open for Read!\n",
                                                                    "tavrin: the radio's port did not open"};
    }

    void headless_servesAndEndsAsTheWindowDoes()
    {
        QFETCH(int, number);
        QFETCH(bool, channelFile);
        QFETCH(QByteArray, frequency);
        QFETCH(QByteArrayList, told);
        ProgramDesk desk;
        radiosim::RadioSimulator radio;
        QVERIFY2(radio.start() && desk.MapCom1To(radio.portName()), qPrintable(radio.errorString()));
        QVERIFY(!channelFile || desk.PutChannelFileIn(kStart));
        const QByteArray before = desk.ChannelFileIn(kStart);
        QVERIFY(AddOperator(desk));
        const quint16 rigctl = FreePort();
        const quint16 web = FreePort();
        QProcess tavrin;
        desk.Start(tavrin, {QStringLiteral("--headless"), QStringLiteral("--rigctl-port"), QString::number(rigctl),
                            QStringLiteral("--web-port"), QString::number(web), QStringLiteral("--web-address"),
                            QStringLiteral("127.0.0.1")}, QString(), QProcessEnvironment(), kNoDisplay);
        QVERIFY2(tavrin.waitForStarted(kStartMs), qPrintable(tavrin.errorString()));
        const QByteArray address = QStringLiteral("Web panel: https://127.0.0.1:%1/").arg(web).toLatin1();
        QByteArray printed;
        QTRY_VERIFY_WITH_TIMEOUT((printed += tavrin.readAllStandardOutput()).contains('\n'), kStartMs);
        QVERIFY2(printed.startsWith(address), printed.constData());
        if (channelFile)
            QTRY_VERIFY_WITH_TIMEOUT(radio.commandsHandled() > 0, kStartMs);
        // The servers listen once the panel is up, a moment after the address is printed.
        QByteArray answer;
        QTRY_VERIFY_WITH_TIMEOUT(!(answer = AskFrequency(rigctl)).isEmpty(), kStartMs);
        QVERIFY2(frequency.isEmpty() || answer == frequency, answer.constData());
        // Every server it runs says where, as the web panel does.
        const QByteArray rigctlAt = QStringLiteral("Rig control server: 127.0.0.1:%1\n").arg(rigctl).toLatin1();
        QTRY_VERIFY2_WITH_TIMEOUT((printed += tavrin.readAllStandardOutput()).contains(rigctlAt), printed.constData(),
                                  kStartMs);

        ::kill(pid_t(tavrin.processId()), number);

        QVERIFY(tavrin.waitForFinished(kExitMs));
        const QByteArray said = tavrin.readAllStandardError();
        QCOMPARE(tavrin.exitStatus(), QProcess::NormalExit);
        QVERIFY2(tavrin.exitCode() == 0, said.constData());
        for (const QByteArray& line : told)
            QVERIFY2(said.contains(line), said.constData());
        QVERIFY(!desk.ChannelFileIn(kStart).isEmpty());
        QFile backup(desk.Path(kStart + QStringLiteral("/h350save.bak")));
        QCOMPARE(backup.open(QIODevice::ReadOnly) ? backup.readAll() : QByteArray(), before);
    }
};

QTEST_GUILESS_MAIN(HeadlessOnRadio)
#include "e2e_headless.moc"
