// The BFO offset typed into its field and sent with Set; the same offset
// set a second time switches it off again.
#include <QAbstractButton>
#include <QLineEdit>
#include <QtTest>

#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "res/resource.h"

class E2eBfoTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void typedOffsetThenSetTwice_setsTheBfoAndThenResetsIt_data();
    void typedOffsetThenSetTwice_setsTheBfoAndThenResetsIt();
    void offsetOutOfRange_isRefusedWithAMessageAndLeavesTheRadio();

private:
    bool StartPanel(PanelOnRadio& panel);
    QTemporaryDir m_profile;
};

void E2eBfoTest::initTestCase() { QVERIFY(UseScratchProfileSettings(m_profile)); }

bool E2eBfoTest::StartPanel(PanelOnRadio& panel)
{
    if (!panel.SetupProblem().isEmpty())
        return false;
    panel.Start();
    return panel.Settle();
}

void E2eBfoTest::typedOffsetThenSetTwice_setsTheBfoAndThenResetsIt_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("code");

    QTest::newRow("+250 Hz") << "250" << QByteArray("125");
    QTest::newRow("+1000 Hz") << "1000" << QByteArray("200");
    QTest::newRow("+5 Hz") << "5" << QByteArray("100");
    QTest::newRow("-5 Hz") << "-5" << QByteArray("099");
    QTest::newRow("-1000 Hz") << "-1000" << QByteArray("000");
}

void E2eBfoTest::typedOffsetThenSetTwice_setsTheBfoAndThenResetsIt()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, code);
    PanelOnRadio panel;
    QVERIFY(StartPanel(panel));
    CTavrinView& view = panel.View();
    QLineEdit* field = view.Form().Edit(IDC_BFO);
    const int commands = panel.Radio().commandsHandled();

    QTest::keyClicks(field, typed);
    Click(view.Form().Button(IDC_SET_BFO));
    QVERIFY(panel.Settle());

    QCOMPARE(panel.Radio().commandsHandled(), commands + 1);
    QCOMPARE(panel.Radio().state().bfoCode, code);
    QCOMPARE(field->text(), typed);

    Click(view.Form().Button(IDC_SET_BFO));
    QVERIFY(panel.Settle());

    QCOMPARE(panel.Radio().commandsHandled(), commands + 2);
    QCOMPARE(panel.Radio().state().bfoCode, QByteArray("100"));
    QCOMPARE(view.m_strBfo, QByteArray());
    // A reset that changes nothing on the radio brings no reply, and so no
    // refresh; the poll's report brings one.
    view.OnTimer(1);
    QVERIFY(panel.Settle());
    QCOMPARE(field->text(), QString());
    QCOMPARE(panel.messages, QStringList());
}

void E2eBfoTest::offsetOutOfRange_isRefusedWithAMessageAndLeavesTheRadio()
{
    PanelOnRadio panel;
    QVERIFY(StartPanel(panel));
    CTavrinView& view = panel.View();
    const int commands = panel.Radio().commandsHandled();

    QTest::keyClicks(view.Form().Edit(IDC_BFO), "1001");
    Click(view.Form().Button(IDC_SET_BFO));
    QVERIFY(panel.Settle());

    QCOMPARE(panel.messages, QStringList{"BFO freq must be between +1000 and -1000 Hz"});
    QCOMPARE(panel.Radio().commandsHandled(), commands);
    QCOMPARE(panel.Radio().state().bfoCode, QByteArray("100"));
}

QTEST_MAIN(E2eBfoTest)
#include "e2e_bfo.moc"
