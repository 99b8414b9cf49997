// Choosing mode and AGC from their lists: stepped round the radio's cycles
// in step mode, set outright once the radio has shown it takes direct
// commands.
#include <QAbstractItemView>
#include <QtTest>

#include "link/reportedstate.h"
#include "panel/combocontrols.h"
#include "panel/modeagcstate.h"
#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "res/resource.h"

using radiosim::RadioState;

namespace {

RadioState Radio(char mode, char agc, bool direct)
{
    RadioState s;
    s.setFrequencyKHz(7155.5);
    s.mode = mode;
    s.agc = agc;
    s.directMode = direct;
    return s;
}

// The user's way of choosing: open the list, pick, close it. The list's
// close-up notification is queued, so it runs once the loop turns.
bool Choose(CTavrinView& view, int listId, int index)
{
    auto* list = static_cast<DropDownCombo*>(view.Form().Combo(listId));
    list->showPopup();
    if (!QTest::qWaitFor([list] { return list->view()->isVisible(); }, 1000))
        return false;
    list->setCurrentIndex(index);
    list->hidePopup();
    return true;
}

void AddRows()
{
    QTest::addColumn<bool>("direct");
    QTest::addColumn<char>("mode");
    QTest::addColumn<char>("agc");
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<char>("wantedMode");
    QTest::addColumn<char>("wantedAgc");

    QTest::newRow("step: USB to LSB") << false << '1' << '2' << IDC_MODE << 1 << '2' << '2';
    QTest::newRow("step: LSB to USB, three steps") << false << '2' << '2' << IDC_MODE << 0 << '1' << '2';
    QTest::newRow("step: AM to CW") << false << '3' << '3' << IDC_MODE << 3 << '4' << '3';
    QTest::newRow("step: CW to AM, round the cycle") << false << '4' << '4' << IDC_MODE << 2 << '3' << '4';
    QTest::newRow("step: Slow to Fast") << false << '1' << '2' << IDC_AGC << 3 << '1' << '4';
    QTest::newRow("step: Fast to Medium") << false << '4' << '4' << IDC_AGC << 2 << '4' << '3';
    QTest::newRow("step: Medium to Slow") << false << '2' << '3' << IDC_AGC << 1 << '2' << '2';
    QTest::newRow("direct: USB to CW") << true << '1' << '2' << IDC_MODE << 3 << '4' << '2';
    QTest::newRow("direct: AM to LSB") << true << '3' << '4' << IDC_MODE << 1 << '2' << '4';
    QTest::newRow("direct: Slow to Off") << true << '2' << '2' << IDC_AGC << 0 << '2' << '1';
    QTest::newRow("direct: Fast to Medium") << true << '4' << '4' << IDC_AGC << 2 << '4' << '3';
}

} // namespace

class E2eModeAgcTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void choiceFromTheList_setsTheRadioAndTheListShowsIt_data() { AddRows(); }
    void choiceFromTheList_setsTheRadioAndTheListShowsIt();
    void stepModeCannotSwitchAgcOff_theRadioStaysOnItsAgc();

private:
    QTemporaryDir m_profile;
};

void E2eModeAgcTest::initTestCase() { QVERIFY(UseScratchProfileSettings(m_profile)); }

void E2eModeAgcTest::choiceFromTheList_setsTheRadioAndTheListShowsIt()
{
    QFETCH(bool, direct);
    QFETCH(char, mode);
    QFETCH(char, agc);
    QFETCH(int, list);
    QFETCH(int, chosen);
    QFETCH(char, wantedMode);
    QFETCH(char, wantedAgc);
    PanelOnRadio panel(Radio(mode, agc, direct));
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    panel.Start();
    QVERIFY(panel.Settle());
    QCOMPARE(int(g_bStepMode), direct ? 0 : 1);

    QVERIFY(Choose(panel.View(), list, chosen));

    QTRY_COMPARE_WITH_TIMEOUT(QChar(panel.Radio().state().mode), QChar(wantedMode), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(QChar(panel.Radio().state().agc), QChar(wantedAgc), 2000);
    QVERIFY(panel.Settle());
    QCOMPARE(Described(panel.Radio().state()), Described(Radio(wantedMode, wantedAgc, direct)));
    QCOMPARE(PanelDiffersFromRadio(panel.View(), panel.Radio().state()), QString());
}

// Off is not on the radio's AGC stepping cycle: the panel sends nothing.
void E2eModeAgcTest::stepModeCannotSwitchAgcOff_theRadioStaysOnItsAgc()
{
    PanelOnRadio panel(Radio('1', '3', false));
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    panel.Start();
    QVERIFY(panel.Settle());
    const int commands = panel.Radio().commandsHandled();

    QVERIFY(Choose(panel.View(), IDC_AGC, 0));
    QTRY_COMPARE(g_chNewAgc, '1');
    QVERIFY(panel.Settle());

    QCOMPARE(panel.Radio().commandsHandled(), commands);
    QCOMPARE(Described(panel.Radio().state()), Described(Radio('1', '3', false)));
}

QTEST_MAIN(E2eModeAgcTest)
#include "e2e_modeagc.moc"
