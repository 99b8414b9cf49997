// The record of transmissions on the real program, in a process of its own
// on the simulated radio: each way of keying and of ending a transmission,
// and a killed program's open record closed at the next start. Buttons are
// pressed inside the unchanged program by the test's input plugin
// (typist/), a station program keys through the rig-control port.
#include <QDir>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>
#include <csignal>

#include "channeleditor/csvtext.h"
#include "programdesk.h"
#include "radiosimulator.h"
#include "support/panelkit.h"

namespace {

constexpr int kWaitMs = 10000;
const QString kStart = QStringLiteral("<root>/start");

struct Station {
    ProgramDesk desk;
    radiosim::RadioSimulator radio;
    QProcess tavrin;
    QTcpSocket client;
    quint16 rigctlPort = 0;
    QString clientName;  // as the records name it

    QString Start()
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(TYPIST_PLUGIN_DIR));
        env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("tavrintypist"));
        env.insert(QStringLiteral("TAVRIN_PRESS_FROM_STDIN"), QStringLiteral("1"));
        const int reportsBefore = TracedReports();
        desk.Start(tavrin, {QStringLiteral("--rigctl-port"), QString::number(rigctlPort), QStringLiteral("--trace"), QStringLiteral("<root>/trace")}, QString(), env);
        // A frequency report in the trace: the panel knows where the radio is.
        if (!QTest::qWaitFor([&] { return TracedReports() > reportsBefore; }, kWaitMs))
            return QStringLiteral("the panel never heard the radio: ") + tavrin.readAllStandardError();
        QTest::qWait(50);
        return QString();
    }

    int TracedReports() const
    {
        QFile trace(desk.Path(QStringLiteral("<root>/trace")));
        return trace.open(QIODevice::ReadOnly) ? int(trace.readAll().count("rcvd \"F")) : 0;
    }

    // One step of a row; empty when it went as it should.
    QString Do(const QString& step)
    {
        if (step.startsWith(QLatin1String("press "))) {
            tavrin.write(step.mid(6).toUtf8() + '\n');
            return QTest::qWaitFor([&] { return tavrin.readAllStandardOutput().contains("pressed"); }, kWaitMs)
                       ? QString() : step + QStringLiteral(": nothing pressed");
        }
        if (step == QLatin1String("keyed") || step == QLatin1String("unkeyed")) {
            const bool keyed = step == QLatin1String("keyed");
            return QTest::qWaitFor([&] { return radio.state().keyed == keyed; }, kWaitMs) ? QString() : step + QStringLiteral(" never");
        }
        if (step.startsWith(QLatin1String("T "))) {
            if (client.state() != QAbstractSocket::ConnectedState) {
                client.connectToHost(QHostAddress::LocalHost, rigctlPort);
                if (!client.waitForConnected(kWaitMs))
                    return QStringLiteral("no rig-control server");
                clientName = QStringLiteral("127.0.0.1:%1").arg(client.localPort());
            }
            client.readAll();
            client.write(step.toLatin1() + '\n');
            return QTest::qWaitFor([&] { return client.canReadLine(); }, kWaitMs) ? QString() : step + QStringLiteral(": no answer");
        }
        if (step == QLatin1String("client goes")) {
            client.abort();
            return QString();
        }
        if (step == QLatin1String("link pulled")) {
            radio.disconnectLink();
            return QString();
        }
        if (step == QLatin1String("watchdog")) {
            QTest::qWait(1500); // the profile's time-out is 1 s
            return QString();
        }
        if (step == QLatin1String("SIGTERM") || step == QLatin1String("SIGKILL")) {
            ::kill(pid_t(tavrin.processId()), step == QLatin1String("SIGTERM") ? SIGTERM : SIGKILL);
            return QTest::qWaitFor([&] { return tavrin.state() == QProcess::NotRunning; }, kWaitMs) ? QString() : step + QStringLiteral(": still running");
        }
        if (step == QLatin1String("recorded")) {
            return QTest::qWaitFor([&] { return !Rows(QStringLiteral("transmissions")).value(0).value(7).isEmpty(); }, kWaitMs)
                       ? QString() : QStringLiteral("the transmission never ended");
        }
        if (step == QLatin1String("restart"))
            return Start();
        return QStringLiteral("no such step: ") + step;
    }

    QList<QStringList> Rows(const QString& prefix) const
    {
        QList<QStringList> rows;
        const QDir folder(desk.Path(kStart));
        for (const QString& name : folder.entryList({prefix + QStringLiteral("-*.csv")}, QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const CsvText text = ReadCsv(file.readAll());
            for (qsizetype i = 1; i < text.records.size(); ++i)
                rows << text.records[i].fields;
        }
        return rows;
    }
};

} // namespace

class TransmissionRecordOnRadio : public QObject {
    Q_OBJECT

private slots:
    void eachWayOfKeying_leavesItsRecord_data()
    {
        QTest::addColumn<bool>("radioKeyedAtStart");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("records");  // who|began|ended, "<client>" for the station program
        QTest::addColumn<QStringList>("access");
        const QStringList none;
        QTest::newRow("Xmit, then Receive") << false << QStringList{"press Xmit", "keyed", "press Receive", "unkeyed"}
                                            << QStringList{"the panel|Xmit|Receive"} << none;
        QTest::newRow("Tune, then Tune") << false << QStringList{"press Tune", "keyed", "press Tune", "unkeyed"}
                                         << QStringList{"the panel|Tune|Receive"} << none;
        QTest::newRow("rig-control T 1, then T 0")
            << false << QStringList{"T 1", "keyed", "T 0", "unkeyed", "client goes"}
            << QStringList{"station program <client>|rig-control T|rig-control T 0"} << QStringList{"connected", "went away"};
        QTest::newRow("the watchdog") << false << QStringList{"T 1", "keyed", "watchdog", "unkeyed"}
                                      << QStringList{"station program <client>|rig-control T|the 1 s watchdog"} << QStringList{"connected"};
        QTest::newRow("the client goes while keyed") << false << QStringList{"T 1", "keyed", "client goes", "unkeyed"}
                                                     << QStringList{"station program <client>|rig-control T|the client went away"}
                                                     << QStringList{"connected", "went away"};
        QTest::newRow("the link lost while keyed") << false << QStringList{"press Xmit", "keyed", "link pulled", "recorded"}
                                                   << QStringList{"the panel|Xmit|the link was lost"} << none;
        QTest::newRow("SIGTERM while keyed") << false << QStringList{"press Xmit", "keyed", "SIGTERM", "unkeyed"}
                                             << QStringList{"the panel|Xmit|the session ended"} << none;
        // The killed panel left the radio keyed: the next start finds it so,
        // and the transmission it left open ends when that start's status
        // query unkeys the radio, with the time it did.
        QTest::newRow("kill -9 while keyed, then the next start")
            << false << QStringList{"press Xmit", "keyed", "SIGKILL", "restart", "unkeyed", "recorded"}
            << QStringList{"the panel|Xmit|ended by the next start after the program was killed"} << none;
        QTest::newRow("the radio keyed by itself") << true << QStringList{"unkeyed"}
                                                   << QStringList{"the radio|report|the radio reported receive"} << none;
    }

    void eachWayOfKeying_leavesItsRecord()
    {
        QFETCH(bool, radioKeyedAtStart);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, records);
        QFETCH(QStringList, access);
        Station station;
        radiosim::RadioState radio;
        radio.setFrequencyKHz(7150);
        radio.keyed = radioKeyedAtStart;
        station.radio.setState(radio);
        station.rigctlPort = FreePort();
        // As udev keeps a name for a USB adapter: gone while the cable is out.
        station.radio.setStablePath(station.desk.Path(QStringLiteral("<root>/rf350")));
        QVERIFY2(station.radio.start(), qPrintable(station.radio.errorString()));
        QVERIFY(station.desk.MapCom1To(station.radio.stablePath()));
        QVERIFY(station.desk.PutChannelFileIn(kStart));
        QVERIFY(station.desk.SetProfileValue(QStringLiteral("Remote/TxTimeoutSeconds"), 1));
        QString problem = station.Start();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        for (const QString& step : std::as_const(steps)) {
            problem = station.Do(step);
            QVERIFY2(problem.isEmpty(), qPrintable(problem + QStringLiteral("\n") + station.tavrin.readAllStandardError()));
        }
        if (station.tavrin.state() == QProcess::Running)
            QVERIFY(station.Do(QStringLiteral("SIGTERM")).isEmpty());

        QStringList written;
        for (const QStringList& row : station.Rows(QStringLiteral("transmissions"))) {
            QCOMPARE(row.size(), 8);
            // Bytes the radio still had for the killed panel may reach the
            // next one before a full report: its frequency is then unknown.
            if (written.isEmpty())
                QCOMPARE(row[1], QStringLiteral("7150.00"));
            written << QStringList({row[3], row[4], row[7]}).join('|');
            const bool endKnown = !row[7].contains(QLatin1String("end time unknown"));
            QCOMPARE(!row[5].isEmpty(), endKnown);
            if (endKnown)
                QVERIFY2(QDateTime::fromString(row[5], Qt::ISODateWithMs) >= QDateTime::fromString(row[0], Qt::ISODateWithMs),
                         qPrintable(row.join(',')));
        }
        QCOMPARE(written, records.replaceInStrings(QStringLiteral("<client>"), station.clientName));
        QStringList events;
        for (const QStringList& event : station.Rows(QStringLiteral("access"))) {
            QCOMPARE(event.value(2), station.clientName);
            events << event.value(1);
        }
        QCOMPARE(events, access);
    }
};

QTEST_MAIN(TransmissionRecordOnRadio)
#include "e2e_txlog.moc"
