// The real program, started as a shell or a desktop menu would start it,
// finds its channel file in the folder its options name: the file there
// names COM1, COM1 leads to the simulated radio, so the radio hears from
// the panel only if the panel read that file.
#include <QFile>
#include <QProcess>
#include <QtTest>

#include "programdesk.h"
#include "radiosimulator.h"

namespace {

constexpr int kStartMs = 10000;

void Stop(QProcess& tavrin)
{
    tavrin.kill();
    tavrin.waitForFinished();
}

} // namespace

class DataDirOnRadio : public QObject {
    Q_OBJECT

private slots:
    void channelFileIsReadFromTheNamedFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("folder");
        QTest::newRow("no option: the folder it was started in") << QStringList() << QString()
                                                                 << QStringLiteral("<root>/start");
        QTest::newRow("--data-dir") << QStringList{QStringLiteral("--data-dir"), QStringLiteral("<root>/data")}
                                    << QString() << QStringLiteral("<root>/data");
        QTest::newRow("--data-dir relative to the start")
            << QStringList{QStringLiteral("--data-dir=here/sub")} << QString() << QStringLiteral("<root>/start/here/sub");
        QTest::newRow("--user-data-dir follows XDG_DATA_HOME")
            << QStringList{QStringLiteral("--user-data-dir")} << QStringLiteral("<root>/xdg")
            << QStringLiteral("<root>/xdg/tavrin");
        QTest::newRow("--user-data-dir without XDG_DATA_HOME")
            << QStringList{QStringLiteral("--user-data-dir")} << QString()
            << QStringLiteral("<root>/home/.local/share/tavrin");
    }

    void channelFileIsReadFromTheNamedFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, folder);
        ProgramDesk desk;
        radiosim::RadioSimulator radio;
        QVERIFY2(radio.start(), qPrintable(radio.errorString()));
        QVERIFY(desk.MapCom1To(radio.portName()));
        QVERIFY(desk.PutChannelFileIn(folder));

        QProcess tavrin;
        desk.Start(tavrin, arguments, xdgDataHome);
        QVERIFY2(tavrin.waitForStarted(), qPrintable(tavrin.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(radio.commandsHandled() > 0 || tavrin.state() == QProcess::NotRunning, kStartMs);
        const QByteArray errors = tavrin.readAllStandardError();
        Stop(tavrin);
        QVERIFY2(radio.commandsHandled() > 0, errors.constData());
    }

    void missingDataFolderIsCreated_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("folder");
        QTest::newRow("--data-dir") << QStringList{QStringLiteral("--data-dir"), QStringLiteral("<root>/new/a/b")}
                                    << QString() << QStringLiteral("<root>/new/a/b");
        QTest::newRow("--user-data-dir") << QStringList{QStringLiteral("--user-data-dir")}
                                         << QStringLiteral("<root>/fresh") << QStringLiteral("<root>/fresh/tavrin");
    }

    void missingDataFolderIsCreated()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, folder);
        ProgramDesk desk;
        QProcess tavrin;
        desk.Start(tavrin, arguments, xdgDataHome);
        QVERIFY2(tavrin.waitForStarted(), qPrintable(tavrin.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(desk.Path(folder)).isDir(), kStartMs);
        Stop(tavrin);
    }

    void folderThatCannotBeMadeEndsTheProgram()
    {
        ProgramDesk desk;
        QFile blocker(desk.Path(QStringLiteral("<root>/plain-file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QProcess tavrin;
        desk.Start(tavrin, {QStringLiteral("--data-dir"), QStringLiteral("<root>/plain-file/sub")}, QString());
        QVERIFY(tavrin.waitForFinished(kStartMs));
        QCOMPARE(tavrin.exitCode(), 1);
        QVERIFY2(tavrin.readAllStandardError().contains("cannot create the data folder"), "no reason given");
    }
};

QTEST_GUILESS_MAIN(DataDirOnRadio)
#include "e2e_datadir.moc"
