// The port dialog's entry for a radio on another machine: what is entered
// becomes the URL in the path field, a URL typed by hand is checked there,
// and Open waits for an address that can be used (the words themselves are
// test_netaddress's).
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "portchooser/portchooserdlg.h"

namespace {

const QString kFingerprint = QStringLiteral("AB:CD") + QStringLiteral(":EF").repeated(30);

template <typename T>
T* Field(QDialog& dialog, const char* name)
{
    return dialog.findChild<T*>(QLatin1String(name));
}

bool OpenEnabled(QDialog& dialog)
{
    return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled();
}

PortChoiceRequest Current(const QString& current)
{
    PortChoiceRequest request;
    request.current = current;
    return request;
}

} // namespace

class TestNetRadioEntry : public QObject {
    Q_OBJECT
private slots:
    void anAddressEnteredOrTyped_isCheckedBeforeOpen_data();
    void anAddressEnteredOrTyped_isCheckedBeforeOpen();
    void thePort_followsTheReadmesSer2netExampleUntilChosen_data();
    void thePort_followsTheReadmesSer2netExampleUntilChosen();
};

// Either the fields are filled in, or (`typed`) the path field is typed over.
void TestNetRadioEntry::anAddressEnteredOrTyped_isCheckedBeforeOpen_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("fingerprint");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("problem");
    QTest::newRow("raw") << "radio.example.net" << 0 << false << "" << "" << "socket://radio.example.net:7001" << "";
    QTest::newRow("RFC 2217 on IPv6") << "[2001:db8::7]" << 1 << false << "" << "" << "rfc2217://[2001:db8::7]:7001" << "";
    QTest::newRow("TLS, pinned") << "radio" << 1 << true << kFingerprint << ""
                                 << "rfc2217://radio:7001?tls=1&fp=abcd" + QStringLiteral("ef").repeated(30) << "";
    QTest::newRow("TLS, a fingerprint mistyped") << "radio" << 1 << true << "abc" << ""
                                                 << "rfc2217://radio:7001?tls=1&fp=abc" << "64 hexadecimal digits";
    QTest::newRow("typed: a device path") << "" << 1 << false << "" << "/dev/ttyS1" << "/dev/ttyS1" << "";
    QTest::newRow("typed: a good address") << "" << 1 << false << "" << "socket://10.0.0.7:3001"
                                           << "socket://10.0.0.7:3001" << "";
    QTest::newRow("typed: no port") << "" << 1 << false << "" << "rfc2217://radio" << "rfc2217://radio"
                                    << "has no port number";
}

void TestNetRadioEntry::anAddressEnteredOrTyped_isCheckedBeforeOpen()
{
    QFETCH(QString, host);
    QFETCH(int, protocol);
    QFETCH(bool, tls);
    QFETCH(QString, fingerprint);
    QFETCH(QString, typed);
    QFETCH(QString, url);
    QFETCH(QString, problem);
    CPortChooserDlg dialog(Current(typed.isEmpty() ? QStringLiteral("/dev/ttyUSB0") : QString()));
    QTest::keyClicks(Field<QLineEdit>(dialog, "host"), host);
    Field<QComboBox>(dialog, "protocol")->setCurrentIndex(protocol);
    Field<QCheckBox>(dialog, "tls")->setChecked(tls);
    Field<QSpinBox>(dialog, "netPort")->setValue(7001);
    QTest::keyClicks(Field<QLineEdit>(dialog, "fingerprint"), fingerprint);
    QTest::keyClicks(Field<QLineEdit>(dialog, "path"), typed);
    QCOMPARE(dialog.ChosenPath(), url);
    const QString shown = Field<QLabel>(dialog, "addressProblem")->text();
    QVERIFY2(problem.isEmpty() ? shown.isEmpty() : shown.contains(problem), qPrintable(shown));
    QCOMPARE(OpenEnabled(dialog), problem.isEmpty());
}

// Raw TCP on 7000, RFC 2217 on 7001, in TLS on 7002, as the README's
// ser2net.yaml serves them; a port the user picked, or one an address
// already named, stays.
void TestNetRadioEntry::thePort_followsTheReadmesSer2netExampleUntilChosen_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("chosenPort");  // 0: left as offered
    QTest::addColumn<int>("protocol");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("url");
    QTest::newRow("as offered: RFC 2217") << "" << 0 << 1 << false << "rfc2217://radio:7001";
    QTest::newRow("raw") << "" << 0 << 0 << false << "socket://radio:7000";
    QTest::newRow("RFC 2217 in TLS") << "" << 0 << 1 << true << "rfc2217://radio:7002?tls=1";
    QTest::newRow("a port picked stays") << "" << 3001 << 0 << false << "socket://radio:3001";
    QTest::newRow("an address's port stays") << "rfc2217://radio:7001" << 0 << 0 << false << "socket://radio:7001";
}

void TestNetRadioEntry::thePort_followsTheReadmesSer2netExampleUntilChosen()
{
    QFETCH(QString, current);
    QFETCH(int, chosenPort);
    QFETCH(int, protocol);
    QFETCH(bool, tls);
    QFETCH(QString, url);
    CPortChooserDlg dialog(Current(current));
    if (current.isEmpty())
        QTest::keyClicks(Field<QLineEdit>(dialog, "host"), QStringLiteral("radio"));
    if (chosenPort)
        Field<QSpinBox>(dialog, "netPort")->setValue(chosenPort);
    Field<QComboBox>(dialog, "protocol")->setCurrentIndex(protocol);
    Field<QCheckBox>(dialog, "tls")->setChecked(tls);
    QCOMPARE(dialog.ChosenPath(), url);
}

QTEST_MAIN(TestNetRadioEntry)
#include "test_netradioentry.moc"
