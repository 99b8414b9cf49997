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
    void enteredFields_becomeTheUrl_data();
    void enteredFields_becomeTheUrl();
    void aUrlTypedByHand_isCheckedBeforeOpen_data();
    void aUrlTypedByHand_isCheckedBeforeOpen();
};

void TestNetRadioEntry::enteredFields_becomeTheUrl_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("fingerprint");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("problem");
    QTest::newRow("raw") << "radio.example.net" << 0 << false << "" << "socket://radio.example.net:7001" << "";
    QTest::newRow("RFC 2217 on IPv6") << "[2001:db8::7]" << 1 << false << "" << "rfc2217://[2001:db8::7]:7001" << "";
    QTest::newRow("TLS, pinned") << "radio" << 1 << true << kFingerprint
                                 << "rfc2217://radio:7001?tls=1&fp=abcd" + QStringLiteral("ef").repeated(30) << "";
    QTest::newRow("TLS, a fingerprint mistyped") << "radio" << 1 << true << "abc" << "rfc2217://radio:7001?tls=1&fp=abc"
                                                 << "64 hexadecimal digits";
}

void TestNetRadioEntry::enteredFields_becomeTheUrl()
{
    QFETCH(QString, host);
    QFETCH(int, protocol);
    QFETCH(bool, tls);
    QFETCH(QString, fingerprint);
    QFETCH(QString, url);
    QFETCH(QString, problem);
    CPortChooserDlg dialog(Current(QStringLiteral("/dev/ttyUSB0")));
    QTest::keyClicks(Field<QLineEdit>(dialog, "host"), host);
    Field<QSpinBox>(dialog, "netPort")->setValue(7001);
    Field<QComboBox>(dialog, "protocol")->setCurrentIndex(protocol);
    Field<QCheckBox>(dialog, "tls")->setChecked(tls);
    QTest::keyClicks(Field<QLineEdit>(dialog, "fingerprint"), fingerprint);
    QCOMPARE(dialog.ChosenPath(), url);
    const QString shown = Field<QLabel>(dialog, "addressProblem")->text();
    QVERIFY2(problem.isEmpty() ? shown.isEmpty() : shown.contains(problem), qPrintable(shown));
    QCOMPARE(OpenEnabled(dialog), problem.isEmpty());
}

void TestNetRadioEntry::aUrlTypedByHand_isCheckedBeforeOpen_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a device path") << "/dev/ttyS1" << "";
    QTest::newRow("a good address") << "socket://10.0.0.7:3001" << "";
    QTest::newRow("no port") << "rfc2217://radio" << "has no port number";
}

void TestNetRadioEntry::aUrlTypedByHand_isCheckedBeforeOpen()
{
    QFETCH(QString, typed);
    QFETCH(QString, problem);
    CPortChooserDlg dialog(Current(QString()));
    QLineEdit* path = Field<QLineEdit>(dialog, "path");
    QTest::keyClicks(path, typed);
    const QString shown = Field<QLabel>(dialog, "addressProblem")->text();
    QVERIFY2(problem.isEmpty() ? shown.isEmpty() : shown.contains(problem), qPrintable(shown));
    QCOMPARE(OpenEnabled(dialog), problem.isEmpty());
}

QTEST_MAIN(TestNetRadioEntry)
#include "test_netradioentry.moc"
