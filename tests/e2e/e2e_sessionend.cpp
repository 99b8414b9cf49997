// Logout, shutdown, kill, Ctrl+C and a closed terminal end the real program
// as closing its window does, in a process of its own on the simulated
// radio: a key a station program holds is taken back, a range typed into
// Upper Limit reaches line 2 of the channel file, and the process exits
// within 2 s with status 0. The typing is done inside the unchanged program
// by the test's input plugin (typist/).
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>
#include <csignal>

#include "programdesk.h"
#include "support/panelkit.h"
#include "radiosimulator.h"

namespace {

constexpr int kStartMs = 15000;
constexpr int kExitMs = 2000;
const QString kStart = QStringLiteral("<root>/start");

QProcessEnvironment Typing(const QString& upperLimit, bool thenTab, int slowCloseMs = 0, const QString& channelEdit = {})
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(TYPIST_PLUGIN_DIR));
    env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("tavrintypist"));
    env.insert(QStringLiteral("TAVRIN_TYPE_UPPER_LIMIT"), upperLimit);
    if (thenTab)
        env.insert(QStringLiteral("TAVRIN_TYPE_THEN_TAB"), QStringLiteral("1"));
    if (slowCloseMs > 0)
        env.insert(QStringLiteral("TAVRIN_SLOW_CLOSE_MS"), QString::number(slowCloseMs));
    if (!channelEdit.isEmpty()) {
        env.insert(QStringLiteral("TAVRIN_EDIT_CHANNEL"), channelEdit);
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tavrin.channels=true"));
    }
    return env;
}

// The program on the radio, with a station program that keyed it and a range
// typed; empty once all of that is so.
struct Session {
    ProgramDesk desk;
    radiosim::RadioSimulator radio;
    QProcess tavrin;
    QTcpSocket station;

    QString Start(const QProcessEnvironment& typing)
    {
        if (!radio.start() || !desk.MapCom1To(radio.portName()) || !desk.PutChannelFileIn(kStart))
            return QStringLiteral("no radio: ") + radio.errorString();
        const quint16 port = FreePort();
        desk.Start(tavrin, {QStringLiteral("--rigctl-port"), QString::number(port)}, QString(), typing);
        if (!QTest::qWaitFor([&] { return radio.commandsHandled() > 0; }, kStartMs))
            return QStringLiteral("the panel never reached the radio: ") + tavrin.readAllStandardError();
        station.connectToHost(QHostAddress::LocalHost, port);
        station.write("T 1\n");
        if (!QTest::qWaitFor([&] { return radio.state().keyed; }, kStartMs))
            return QStringLiteral("the station program's key never reached the radio");
        if (!QTest::qWaitFor([&] { return tavrin.readAllStandardOutput().contains("typed"); }, kStartMs))
            return QStringLiteral("nothing was typed: ") + tavrin.readAllStandardError();
        return QString();
    }

    qint64 SignalAndWait(int number)
    {
        QElapsedTimer took;
        took.start();
        ::kill(pid_t(tavrin.processId()), number);
        [[maybe_unused]] const bool ended = QTest::qWaitFor([&] { return tavrin.state() == QProcess::NotRunning; }, 3 * kExitMs);
        return took.elapsed();
    }

    QByteArray RangeLine() const { return desk.ChannelFileIn(kStart).split('\n').value(1); }
    QByteArray FileText() const { return desk.ChannelFileIn(kStart); }
};

} // namespace

class SessionEndOnRadio : public QObject {
    Q_OBJECT

private slots:
    void signal_endsThePanelAsClosingItsWindowDoes_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("editLeft");
        QTest::addColumn<QString>("channelEdit"); // typed in the Channels window and not saved
        // The file's range line is " 7000.00  7300.00   1   3".
        QTest::newRow("SIGTERM (logout, kill), the edit left") << SIGTERM << true << QString();
        QTest::newRow("SIGTERM, still in the edit") << SIGTERM << false << QString();
        QTest::newRow("SIGINT (Ctrl+C), still in the edit") << SIGINT << false << QString();
        QTest::newRow("SIGHUP (terminal closed), still in the edit") << SIGHUP << false << QString();
        // The Channels window would ask about its unsaved edits, and nobody
        // is there to answer: the panel still closes and writes its file, and
        // the edits are left out of it.
        QTest::newRow("SIGTERM, Channels edits not saved") << SIGTERM << true << QStringLiteral("Not saved");
    }

    void signal_endsThePanelAsClosingItsWindowDoes()
    {
        QFETCH(int, number);
        QFETCH(bool, editLeft);
        QFETCH(QString, channelEdit);
        Session session;
        const QString problem = session.Start(Typing(QStringLiteral("7250"), editLeft, 0, channelEdit));
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        const qint64 took = session.SignalAndWait(number);

        const QByteArray said = session.tavrin.readAllStandardError();
        QCOMPARE(session.tavrin.state(), QProcess::NotRunning);
        QVERIFY2(took < kExitMs, qPrintable(QStringLiteral("%1 ms").arg(took)));
        QCOMPARE(session.tavrin.exitStatus(), QProcess::NormalExit);
        QVERIFY2(session.tavrin.exitCode() == 0, said.constData());
        QTRY_VERIFY(!session.radio.state().keyed);
        QCOMPARE(session.RangeLine(), QByteArray(" 7000.00  7250.00   1   3\r"));
        if (!channelEdit.isEmpty()) {
            QVERIFY2(said.contains("edited in the Channels window and not saved"), said.constData());
            QVERIFY(!session.FileText().contains(channelEdit.toLatin1()));
        }
    }

    // A close that hangs (here: made to take 10 s) does not hold the
    // process against the second signal.
    void secondSignal_endsThePanelAtOnce()
    {
        Session session;
        const QString problem = session.Start(Typing(QStringLiteral("7250"), true, 10000));
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        ::kill(pid_t(session.tavrin.processId()), SIGTERM);
        QTest::qWait(300);

        const qint64 took = session.SignalAndWait(SIGTERM);

        QCOMPARE(session.tavrin.state(), QProcess::NotRunning);
        QVERIFY2(took < 1000, qPrintable(QStringLiteral("%1 ms").arg(took)));
        QCOMPARE(session.tavrin.exitStatus(), QProcess::CrashExit);
    }
};

QTEST_GUILESS_MAIN(SessionEndOnRadio)
#include "e2e_sessionend.moc"
