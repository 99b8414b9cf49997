// The web panel's security core: the operator file and its mode, password
// checks, the login throttle over simulated time, session expiry, the
// operator commands of the real program, and a running panel taking up
// what they change.
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWebSocket>
#include <QtTest>
#include <sys/stat.h>

#include "web/loginthrottle.h"
#include "web/operatorstore.h"
#include "support/webclient.h"
#include "web/webcertificate.h"
#include "web/webserver.h"
#include "web/websessions.h"
#include "web/webtls.h"

namespace {

const QByteArray kPassword = "correct horse";
const QDateTime kStart = QDateTime(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC);

int ModeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

bool WriteFile(const QString& path, const QByteArray& bytes, int mode)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray FileOf(const QByteArray& name, const QByteArray& role, const QByteArray& hash)
{
    return "{\"operators\":[{\"name\":\"" + name + "\",\"role\":\"" + role + "\",\"hash\":\"" + hash + "\"}]}";
}

QByteArray SomeHash()
{
    COperatorStore store(QStringLiteral("/nonexistent/operators.json"));
    QString why;
    store.Add(QStringLiteral("x"), OperatorRole::Listen, kPassword, why);
    return store.Operators().value(0).hash;
}

// One step of a throttle story: at `ms` after the start, a try that must
// get `verdict` (and then fails), or a success.
struct ThrottleStep {
    enum Kind { Try, Succeed } kind;
    qint64 ms;
    const char* address;
    const char* name;
    CLoginThrottle::Verdict verdict = CLoginThrottle::Verdict::Allowed;
    qint64 waitMs = 0;  // an allowed try's wait
};
using ThrottleStory = QList<ThrottleStep>;

QList<ThrottleStep> Failures(int count, const char* address, const char* name, qint64 everyMs = 0)
{
    QList<ThrottleStep> steps;
    for (int i = 0; i < count; ++i)
        steps << ThrottleStep{ThrottleStep::Try, i * everyMs, address, name};
    return steps;
}

struct Run {
    int status;
    QByteArray out;
    QByteArray err;
};

Run Tavrin(const QString& folder, const QStringList& arguments, const QByteArray& input)
{
    QProcess tavrin;
    tavrin.start(QStringLiteral(TAVRIN_BINARY), QStringList{QStringLiteral("--data-dir"), folder} + arguments);
    tavrin.write(input);
    tavrin.closeWriteChannel();
    if (!tavrin.waitForFinished(20000))
        return {-1, {}, "did not end"};
    return {tavrin.exitStatus() == QProcess::NormalExit ? tavrin.exitCode() : -1, tavrin.readAllStandardOutput(),
            tavrin.readAllStandardError()};
}

} // namespace

Q_DECLARE_METATYPE(ThrottleStory)
Q_DECLARE_METATYPE(OperatorRole)

class WebOperatorsTest : public QObject {
    Q_OBJECT

private slots:
    void storeSavesOwnerOnlyAndReadsBack_data()
    {
        QTest::addColumn<int>("oldMode");
        QTest::newRow("new file") << 0;
        // The replacing write must not take the old file's looser mode.
        QTest::newRow("over a 0644 file") << 0644;
    }
    void storeSavesOwnerOnlyAndReadsBack()
    {
        QFETCH(int, oldMode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("operators.json"));
        if (oldMode)
            QVERIFY(WriteFile(path, "{\"operators\":[]}", oldMode));
        COperatorStore store(path);
        QString why;
        QVERIFY(store.Add(QStringLiteral("alice"), OperatorRole::Transmit, kPassword, why));
        QVERIFY(store.Add(QStringLiteral("bob.2"), OperatorRole::Listen, "another one", why));
        QVERIFY2(store.Save(why), qPrintable(why));
        QCOMPARE(ModeOf(path), 0600);

        COperatorStore again(path);
        QVERIFY2(again.Load(why), qPrintable(why));
        QCOMPARE(again.Operators().size(), 2);
        QCOMPARE(again.Operators()[0].name, QStringLiteral("alice"));
        QCOMPARE(again.Operators()[1].role, OperatorRole::Listen);
        QVERIFY(again.Operators()[0].hash.startsWith("$argon2id$"));
        QCOMPARE(again.Verify(QStringLiteral("alice"), kPassword), std::optional(OperatorRole::Transmit));
        QVERIFY(!ReadFile(path).contains(kPassword));
    }

    void loadRefusesAndLeavesTheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("said");
        const QByteArray hash = SomeHash();
        QTest::newRow("group-readable") << FileOf("alice", "listen", hash) << 0640 << "chmod 600";
        QTest::newRow("world-readable") << FileOf("alice", "listen", hash) << 0604 << "chmod 600";
        QTest::newRow("not JSON") << QByteArray("operators: alice") << 0600 << "not an operator list";
        QTest::newRow("no list") << QByteArray("{\"people\":[]}") << 0600 << "not an operator list";
        QTest::newRow("bad name") << FileOf("al ice", "listen", hash) << 0600 << "not an operator list";
        QTest::newRow("unknown role") << FileOf("alice", "admin", hash) << 0600 << "not an operator list";
        QTest::newRow("not argon2id") << FileOf("alice", "listen", "$argon2i$v=19$m=4096,t=3,p=1$x$y") << 0600
                                      << "not an operator list";
        QTest::newRow("twice the same name")
            << QByteArray(FileOf("alice", "listen", hash)).replace("}]}", "},{\"name\":\"alice\",\"role\":\"transmit\","
                                                                            "\"hash\":\"" + hash + "\"}]}")
            << 0600 << "not an operator list";
    }
    void loadRefusesAndLeavesTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, mode);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("operators.json"));
        QVERIFY(WriteFile(path, content, mode));
        COperatorStore store(path);
        QString why;
        QVERIFY(!store.Load(why));
        QVERIFY2(why.contains(said), qPrintable(why));
        QVERIFY(store.IsEmpty());
        QCOMPARE(ReadFile(path), content);
    }

    void namesAndPasswords_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<bool>("taken");
        QTest::newRow("one letter") << "a" << kPassword << true;
        QTest::newRow("32 characters") << QString(32, QLatin1Char('k')) << kPassword << true;
        QTest::newRow("dot, underscore, dash") << "K1.op_a-b" << kPassword << true;
        QTest::newRow("empty") << "" << kPassword << false;
        QTest::newRow("33 characters") << QString(33, QLatin1Char('k')) << kPassword << false;
        QTest::newRow("space") << "al ice" << kPassword << false;
        QTest::newRow("markup") << "<b>" << kPassword << false;
        QTest::newRow("comma") << "a,b" << kPassword << false;
        QTest::newRow("newline") << "a\nb" << kPassword << false;
        QTest::newRow("accented letter") << QStringLiteral("jos\u00e9") << kPassword << false;
        QTest::newRow("7-byte password") << "alice" << QByteArray("1234567") << false;
    }
    void namesAndPasswords()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, password);
        QFETCH(bool, taken);
        COperatorStore store(QStringLiteral("/nonexistent/operators.json"));
        QString why;
        QCOMPARE(store.Add(name, OperatorRole::Operate, password, why), taken);
        QCOMPARE(why.isEmpty(), taken);
        QCOMPARE(store.IsEmpty(), !taken);
    }

    void verify_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("right") << "alice" << kPassword << true;
        QTest::newRow("wrong") << "alice" << QByteArray("correct horsf") << false;
        QTest::newRow("a prefix") << "alice" << kPassword.left(8) << false;
        QTest::newRow("empty") << "alice" << QByteArray() << false;
        QTest::newRow("other case of name") << "Alice" << kPassword << false;
        QTest::newRow("unknown name") << "mallory" << kPassword << false;
    }
    void verify()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, password);
        QFETCH(bool, accepted);
        COperatorStore store(QStringLiteral("/nonexistent/operators.json"));
        QString why;
        QVERIFY(store.Add(QStringLiteral("alice"), OperatorRole::Operate, kPassword, why));
        store.Verify(QStringLiteral("nobody"), kPassword);  // the one-time dummy hash, out of the timing
        QElapsedTimer known;
        known.start();
        store.Verify(QStringLiteral("alice"), "wrong password");
        const qint64 wrongNs = known.nsecsElapsed();
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(store.Verify(name, password).has_value(), accepted);
        // An unknown name must cost a full hash, not return at once.
        QVERIFY2(timer.nsecsElapsed() > wrongNs / 3, qPrintable(QStringLiteral("%1 ns against %2 ns for a wrong password")
                                                                   .arg(timer.nsecsElapsed()).arg(wrongNs)));
    }

    void throttle_data()
    {
        using V = CLoginThrottle::Verdict;
        using S = ThrottleStep;
        QTest::addColumn<ThrottleStory>("story");
        QTest::newRow("two failures do not slow")
            << (Failures(2, "10.0.0.1", "alice") << S{S::Try, 0, "10.0.0.1", "alice", V::Allowed});
        QTest::newRow("three from one address, any names: one second")
            << ThrottleStory{{S::Try, 0, "10.0.0.1", "a"}, {S::Try, 0, "10.0.0.1", "b"}, {S::Try, 0, "10.0.0.1", "c"},
                             {S::Try, 999, "10.0.0.1", "d", V::TooSoon}, {S::Try, 500, "10.0.0.2", "e", V::Allowed},
                             {S::Try, 1000, "10.0.0.1", "d", V::Allowed}};
        // Tries taken at once are counted at once, before any is checked.
        QTest::newRow("four at once from one address: the fourth waits")
            << (Failures(3, "10.0.0.1", "alice") << S{S::Try, 0, "10.0.0.1", "alice", V::TooSoon});
        QTest::newRow("three on one name from elsewhere: slowed, never refused")
            << ThrottleStory{{S::Try, 0, "10.0.0.1", "alice"}, {S::Try, 0, "10.0.0.2", "alice"},
                             {S::Try, 0, "10.0.0.3", "alice"}, {S::Try, 400, "10.0.0.4", "alice", V::Allowed, 600},
                             {S::Try, 400, "10.0.0.4", "bob", V::Allowed}};
        QTest::newRow("ten lock the address, and the name there only, for five minutes")
            << (Failures(10, "10.0.0.1", "alice", 1000)
                << S{S::Try, 9000 + 299000, "10.0.0.1", "bob", V::Locked}
                << S{S::Try, 9000 + 299000, "10.0.0.9", "alice", V::Allowed}
                << S{S::Succeed, 9000 + 299000, "10.0.0.9", "alice"}
                << S{S::Try, 9000 + 299000, "10.0.0.1", "alice", V::Locked}
                << S{S::Try, 9000 + 300000, "10.0.0.1", "alice", V::Allowed});
        QTest::newRow("one failure every five minutes from anywhere locks nobody out")
            << (Failures(12, "10.0.0.1", "alice", 300000) << S{S::Try, 12 * 300000, "10.0.0.9", "alice", V::Allowed});
        QTest::newRow("success clears both")
            << (Failures(9, "10.0.0.1", "alice", 1000) << S{S::Succeed, 9000, "10.0.0.1", "alice"}
                << S{S::Try, 9000, "10.0.0.1", "alice"} << S{S::Try, 9000, "10.0.0.1", "alice", V::Allowed});
    }
    void throttle()
    {
        QFETCH(ThrottleStory, story);
        CLoginThrottle throttle;
        for (const ThrottleStep& step : story) {
            const QDateTime at = kStart.addMSecs(step.ms);
            const QString address = QString::fromLatin1(step.address);
            const QString name = QString::fromLatin1(step.name);
            if (step.kind == ThrottleStep::Succeed) {
                throttle.Succeeded(address, name);
                continue;
            }
            const CLoginThrottle::Decision decision = throttle.Take(address, name, at);
            QCOMPARE(int(decision.verdict), int(step.verdict));
            QCOMPARE(qint64(decision.wait.count()), step.waitMs);
        }
    }

    void sessionExpiry_data()
    {
        QTest::addColumn<QList<int>>("usedAtMinutes");
        QTest::addColumn<bool>("liveAtLast");
        QTest::newRow("29 idle minutes") << QList<int>{29} << true;
        QTest::newRow("30 idle minutes") << QList<int>{30} << false;
        QTest::newRow("activity keeps it") << QList<int>{25, 50, 75, 100} << true;
        QList<int> everyTwenty;
        for (int minute = 20; minute < 12 * 60; minute += 20)
            everyTwenty << minute;
        QTest::newRow("in use until 11:40") << everyTwenty << true;
        QTest::newRow("in use until 12 hours") << (everyTwenty << 12 * 60) << false;
        // Once expired it is forgotten, even if asked again at once.
        QTest::newRow("expired stays ended") << QList<int>{31, 32} << false;
    }
    void sessionExpiry()
    {
        QFETCH(QList<int>, usedAtMinutes);
        QFETCH(bool, liveAtLast);
        CWebSessions sessions;
        const QString token = sessions.Create(QStringLiteral("alice"), OperatorRole::Operate, kStart);
        std::optional<WebSession> session;
        for (int minute : usedAtMinutes)
            session = sessions.Use(token, kStart.addSecs(minute * 60));
        QCOMPARE(session.has_value(), liveAtLast);
        if (session)
            QCOMPARE(session->role, OperatorRole::Operate);
    }

    void sessionEnds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("aliceLive");
        QTest::addColumn<bool>("bobLive");
        QTest::newRow("nothing") << "" << true << true;
        QTest::newRow("End of alice's") << "end" << false << true;
        QTest::newRow("EndAllOf alice") << "all" << false << true;
        QTest::newRow("forged: a character changed") << "forge" << false << true;
        QTest::newRow("forged: cut short") << "cut" << false << true;
    }
    void sessionEnds()
    {
        QFETCH(QString, how);
        QFETCH(bool, aliceLive);
        QFETCH(bool, bobLive);
        CWebSessions sessions;
        QString alice = sessions.Create(QStringLiteral("alice"), OperatorRole::Transmit, kStart);
        const QString aliceElsewhere = sessions.Create(QStringLiteral("alice"), OperatorRole::Transmit, kStart);
        const QString bob = sessions.Create(QStringLiteral("bob"), OperatorRole::Listen, kStart);
        QVERIFY(QRegularExpression(QStringLiteral("^[A-Za-z0-9_-]{43}$")).match(alice).hasMatch());
        QVERIFY(alice != aliceElsewhere);
        if (how == QLatin1String("end"))
            sessions.End(alice);
        else if (how == QLatin1String("all"))
            sessions.EndAllOf(QStringLiteral("alice"));
        else if (how == QLatin1String("forge"))
            alice[5] = alice[5] == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
        else if (how == QLatin1String("cut"))
            alice.chop(1);
        const QDateTime later = kStart.addSecs(60);
        QCOMPARE(sessions.Use(alice, later).has_value(), aliceLive);
        QCOMPARE(sessions.Use(aliceElsewhere, later).has_value(), how != QLatin1String("all"));
        QCOMPARE(sessions.Use(bob, later).has_value(), bobLive);
    }

    void commandLine()
    {
        struct Step {
            QStringList arguments;
            QByteArray input;
            int status;
            QByteArray out;  // part of standard output
        };
        const QList<Step> steps = {
            {{"--add-operator", "alice", "--role", "operate"}, "first password\n", 0, "Operator alice added, role operate."},
            {{"--add-operator", "alice", "--role", "transmit"}, "second password\n", 0, "Operator alice changed, role transmit."},
            {{"--add-operator", "bob", "--role", "listen"}, "short\n", 2, ""},
            {{"--add-operator", "bob", "--role", "listen"}, "", 2, ""},
            {{"--add-operator", "b;ob", "--role", "listen"}, "long enough\n", 2, ""},
            {{"--add-operator", "bob", "--role", "admin"}, "long enough\n", 2, ""},
            {{"--add-operator", "bob", "--role", "listen"}, "bob's password\r\nignored\n", 0, "Operator bob added"},
            {{"--list-operators"}, "", 0, "alice transmit\nbob listen\n"},
            {{"--remove-operator", "carol"}, "", 2, ""},
            {{"--remove-operator", "alice"}, "", 0, "Operator alice removed."},
            {{"--list-operators"}, "", 0, "bob listen\n"},
        };
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("operators.json"));
        for (const Step& step : steps) {
            const Run run = Tavrin(dir.path(), step.arguments, step.input);
            const QString said = step.arguments.join(QLatin1Char(' ')) + QStringLiteral(": ") + QString::fromLocal8Bit(run.err);
            QVERIFY2(run.status == step.status, qPrintable(said));
            QVERIFY2(run.out.contains(step.out), run.out.constData());
            QVERIFY2(!run.out.contains("$argon2id$"), run.out.constData());
            QVERIFY2(step.status == 0 || !run.err.isEmpty(), qPrintable(said));
        }
        QCOMPARE(ModeOf(path), 0600);
        COperatorStore store(path);
        QString why;
        QVERIFY2(store.Load(why), qPrintable(why));
        QCOMPARE(store.Verify(QStringLiteral("bob"), "bob's password"), std::optional(OperatorRole::Listen));
        QCOMPARE(store.Verify(QStringLiteral("alice"), "second password"), std::nullopt);
    }

    void aChangeToTheFile_endsTheOpenPage_andTheOldPassword_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QByteArray>("newPassword");  // empty: none works
        QTest::addColumn<QString>("pageTold");
        QTest::newRow("alice made listen with a new password")
            << QStringList{"--add-operator", "alice", "--role", "listen"} << QByteArray("a new password")
            << QStringLiteral("password or role was changed");
        QTest::newRow("alice removed") << QStringList{"--remove-operator", "alice"} << QByteArray()
                                       << QStringLiteral("removed from the station");
    }
    // The running panel and the command line are two processes: the panel
    // sees the file change within seconds, and at the next login at once.
    void aChangeToTheFile_endsTheOpenPage_andTheOldPassword()
    {
        QFETCH(QStringList, command);
        QFETCH(QByteArray, newPassword);
        QFETCH(QString, pageTold);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("operators.json"));
        COperatorStore store(path);
        WebIdentity identity;
        QString why;
        QVERIFY(store.Add(QStringLiteral("alice"), OperatorRole::Transmit, kPassword, why) && store.Save(why));
        QVERIFY(MakeSelfSignedIdentity(dir.filePath("cert.pem"), dir.filePath("key.pem"), "testhost", why));
        QVERIFY(ReadWebIdentity(dir.filePath("cert.pem"), dir.filePath("key.pem"), identity, why));
        CWebServer server(store, [] { return WebPanelState(); });
        QVERIFY2(server.Listen(QHostAddress::LocalHost, 0, WebTlsConfiguration(identity), why), qPrintable(why));
        const WebClient client(identity.certificate, server.Port());
        const QByteArray cookie = client.Cookie("alice", kPassword);
        QStringList messages;
        const std::unique_ptr<QWebSocket> page = client.OpenFeed(cookie, messages);
        QTRY_VERIFY_WITH_TIMEOUT(!messages.isEmpty(), kWebWaitMs);

        const Run run = Tavrin(dir.path(), command, newPassword + '\n');
        QVERIFY2(run.status == 0, run.err.constData());
        QTRY_COMPARE_WITH_TIMEOUT(page->state(), QAbstractSocket::UnconnectedState, kWebWaitMs);
        QVERIFY2(page->closeReason().contains(pageTold), qPrintable(page->closeReason()));
        QVERIFY(client.Send("GET", "/", "Cookie: tavrin_session=" + cookie + "\r\n").body.contains(pageTold.toUtf8()));
        QCOMPARE(client.Login("alice", kPassword).status, 401);
        if (!newPassword.isEmpty())
            QCOMPARE(client.Login("alice", newPassword).status, 303);
    }
};

QTEST_GUILESS_MAIN(WebOperatorsTest)
#include "test_weboperators.moc"
