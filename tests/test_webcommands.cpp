// The web panel's command table lets each role do what it may and refuses
// the rest, whatever the page: one row per role and kind of command, with
// the refusal the page is shown.
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "web/webcommands.h"

class WebCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void admit_data();
    void admit();
};

void WebCommandsTest::admit_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("refusal");  // empty: admitted

    struct Kind {
        const char* name;
        const char* message;
        OperatorRole least;
    };
    const Kind kinds[] = {
        {"tune a step", R"({"command":"press","control":"freq-up"})", OperatorRole::Operate},
        {"type a frequency", R"({"command":"enter","control":"freq-entry","text":"7000"})", OperatorRole::Operate},
        {"choose a mode", R"({"command":"choose","control":"mode","index":1})", OperatorRole::Operate},
        {"recall a channel", R"({"command":"recall","row":0})", OperatorRole::Operate},
        {"save a channel", R"({"command":"press","control":"save-channel"})", OperatorRole::Operate},
        {"scan the channels", R"({"command":"press","control":"chan-scan"})", OperatorRole::Operate},
        {"VOX off", R"({"command":"press","control":"vox-off"})", OperatorRole::Operate},
        {"VOX voice", R"({"command":"press","control":"vox-voice"})", OperatorRole::Transmit},
        {"VOX data", R"({"command":"press","control":"vox-data"})", OperatorRole::Transmit},
        {"Ext PTT", R"({"command":"press","control":"ext-ptt"})", OperatorRole::Transmit},
        {"Xmit", R"({"command":"press","control":"xmit"})", OperatorRole::Transmit},
        {"Tune", R"({"command":"press","control":"tune"})", OperatorRole::Transmit},
        {"Receive", R"({"command":"press","control":"receive"})", OperatorRole::Transmit},
        {"key", R"({"command":"key"})", OperatorRole::Transmit},
        {"unkey", R"({"command":"unkey"})", OperatorRole::Transmit},
        {"heartbeat", R"({"command":"beat"})", OperatorRole::Transmit},
        {"listen", R"({"command":"listen","on":true})", OperatorRole::Listen},
    };
    const QString refusals[] = {
        QStringLiteral("Your role (listen) may watch but not change the radio."),
        QStringLiteral("Your role (operate) may not transmit."),
        QString(),
        QStringLiteral("Your role (watch) may watch but not change the radio."),
    };
    // The fleet's watchers have no station's panel to do anything with.
    for (const Kind& kind : kinds) {
        for (OperatorRole role : {OperatorRole::Listen, OperatorRole::Operate, OperatorRole::Transmit, OperatorRole::Watch}) {
            const bool refused = role == OperatorRole::Watch || role < kind.least;
            QTest::addRow("%s: %s", qPrintable(RoleName(role)), kind.name)
                << QByteArray(kind.message) << int(role) << (refused ? refusals[int(role)] : QString());
        }
    }
}

void WebCommandsTest::admit()
{
    QFETCH(QByteArray, message);
    QFETCH(int, role);
    QFETCH(QString, refusal);
    WebSession session;
    session.name = QStringLiteral("op");
    session.role = OperatorRole(role);
    QString why;
    const WebCommand* command = AdmitWebCommand(QJsonDocument::fromJson(message).object(), session, why);
    QCOMPARE(why, refusal);
    QCOMPARE(command != nullptr, refusal.isEmpty());
}

QTEST_MAIN(WebCommandsTest)
#include "test_webcommands.moc"
