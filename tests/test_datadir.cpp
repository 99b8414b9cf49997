// What the command line makes of the options that name the program's working
// folder. e2e_datadir runs the program with them.
#include <QtTest>

#include "app/commandline.h"

namespace {

// Sets an environment variable for one test and puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value) : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had;
};

} // namespace

class DataDirOptions : public QObject {
    Q_OBJECT

private slots:
    void commandLineNamesTheFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("xdgDataHome");  // null: unset
        QTest::addColumn<QString>("dataDir");      // null: the run ends here
        QTest::addColumn<int>("exitCode");
        QTest::newRow("none: stay where started") << QStringList() << QString() << QStringLiteral("") << 0;
        QTest::newRow("--data-dir") << QStringList{QStringLiteral("--data-dir"), QStringLiteral("/srv/rig")}
                                    << QString() << QStringLiteral("/srv/rig") << 0;
        QTest::newRow("--data-dir=, relative") << QStringList{QStringLiteral("--data-dir=rig")} << QString()
                                               << QStringLiteral("rig") << 0;
        QTest::newRow("--user-data-dir, XDG_DATA_HOME set")
            << QStringList{QStringLiteral("--user-data-dir")} << QStringLiteral("/data/op/")
            << QStringLiteral("/data/op/tavrin") << 0;
        QTest::newRow("--user-data-dir, XDG_DATA_HOME unset")
            << QStringList{QStringLiteral("--user-data-dir")} << QString()
            << QStringLiteral("/home/op/.local/share/tavrin") << 0;
        QTest::newRow("--user-data-dir, XDG_DATA_HOME empty")
            << QStringList{QStringLiteral("--user-data-dir")} << QStringLiteral("")
            << QStringLiteral("/home/op/.local/share/tavrin") << 0;
        QTest::newRow("--user-data-dir, XDG_DATA_HOME relative")
            << QStringList{QStringLiteral("--user-data-dir")} << QStringLiteral("data")
            << QStringLiteral("/home/op/.local/share/tavrin") << 0;
        QTest::newRow("both") << QStringList{QStringLiteral("--data-dir=x"), QStringLiteral("--user-data-dir")}
                              << QString() << QString() << 2;
        QTest::newRow("--data-dir with no folder") << QStringList{QStringLiteral("--data-dir=")} << QString()
                                                   << QString() << 2;
        QTest::newRow("--data-dir with nothing after it") << QStringList{QStringLiteral("--data-dir")} << QString()
                                                          << QString() << 2;
    }

    void commandLineNamesTheFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, dataDir);
        QFETCH(int, exitCode);
        const ScopedEnv home("HOME", QStringLiteral("/home/op"));
        const ScopedEnv xdg("XDG_DATA_HOME", xdgDataHome);
        int code = -1;
        const std::optional<StartOptions> options = ParseCommandLine(QStringList{QStringLiteral("tavrin")} + arguments, code);
        QCOMPARE(code, exitCode);
        QCOMPARE(options.has_value(), !dataDir.isNull());
        if (options)
            QCOMPARE(options->dataDir, dataDir);
    }
};

QTEST_GUILESS_MAIN(DataDirOptions)
#include "test_datadir.moc"
