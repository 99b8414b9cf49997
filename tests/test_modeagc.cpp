// Mode and AGC: how many stepping commands go out in step mode, the three
// value commands of direct mode, and the drop-down lists that trigger them.
#include <QAbstractItemView>
#include <QLineEdit>
#include <QtTest>

#include "link/reportedstate.h"
#include "panel/combocontrols.h"
#include "panel/modeagcstate.h"
#include "panel/tavrinview.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/viewharness.h"

namespace {

DropDownCombo* ModeList(CTavrinView& view)
{
    return static_cast<DropDownCombo*>(view.Form().Combo(IDC_MODE));
}

const char* const kModeNames[] = {"USB", "LSB", "AM", "CW"};
const char* const kAgcNames[] = {"Off", "Slow", "Medium", "Fast"};

// reported (row) to wanted (column), USB LSB AM CW: the radio's four-place cycle.
const char* const kModeSteps[4][4] = {
    {"", "M\n", "M\nM\n", "M\nM\nM\n"},
    {"M\nM\nM\n", "", "M\n", "M\nM\n"},
    {"M\nM\n", "M\nM\nM\n", "", "M\n"},
    {"M\n", "M\nM\n", "M\nM\nM\n", ""},
};

// reported (row) to wanted (column), Slow Medium Fast: Off is not on the cycle.
const char* const kAgcSteps[3][3] = {
    {"", "A\n", "A\nA\n"},
    {"A\nA\n", "", "A\n"},
    {"A\n", "A\nA\n", ""},
};

enum class Choosing { ClickAnItem, Escape, AppDeactivated, TypeAndEnter, DownArrow, WheelOverClosedList };

void OpenList(DropDownCombo* list)
{
    list->showPopup();
    QTRY_VERIFY(list->view()->isVisible());
}

void Choose(DropDownCombo* list, Choosing way, const QString& typed)
{
    switch (way) {
    case Choosing::ClickAnItem: {
        OpenList(list);
        QAbstractItemView* items = list->view();
        const QPoint last = items->visualRect(list->model()->index(3, 0)).center();
        QTest::mouseMove(items->viewport(), last);
        QTest::mouseClick(items->viewport(), Qt::LeftButton, {}, last);
        break;
    }
    case Choosing::Escape:
        OpenList(list);
        QTest::keyClick(list->view(), Qt::Key_Escape);
        break;
    case Choosing::AppDeactivated: {
        // As switching to another program closes every open popup.
        OpenList(list);
        QEvent deactivate(QEvent::ApplicationDeactivate);
        QApplication::sendEvent(qApp, &deactivate);
        break;
    }
    case Choosing::TypeAndEnter:
        list->lineEdit()->setFocus();
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), typed);
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
        break;
    case Choosing::DownArrow:
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        break;
    case Choosing::WheelOverClosedList: {
        list->setFocus();
        const QPointF at(list->rect().center());
        QWheelEvent notch(at, list->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &notch);
        break;
    }
    }
}

} // namespace

Q_DECLARE_METATYPE(Choosing)

class ModeAgcTest : public QObject {
    Q_OBJECT
private slots:
    void stepModeModeCloseUp_sendsStepsFromReportedToChosen_data();
    void stepModeModeCloseUp_sendsStepsFromReportedToChosen();
    void stepModeSendMode_outsideUsbToCw_sendsNothing_data();
    void stepModeSendMode_outsideUsbToCw_sendsNothing();
    void stepModeAgcCloseUp_sendsStepsAlongSlowMediumFast_data();
    void stepModeAgcCloseUp_sendsStepsAlongSlowMediumFast();
    void stepModeAgcCloseUp_offReportedOrChosen_sendsNothing_data();
    void stepModeAgcCloseUp_offReportedOrChosen_sendsNothing();
    void directModeCloseUp_sendsAgcModeAndLastFrequency_data();
    void directModeCloseUp_sendsAgcModeAndLastFrequency();
    void modePopupClosedOnAChoice_sendsStepsToIt();
    void clickingAnItemInTheModePopup_sendsStepsToThatItem();
    void hidingTheShownPanel_sendsNoModeOrAgc();
    void everyWayOfChoosing_runsTheCloseUpOnce_data();
    void everyWayOfChoosing_runsTheCloseUpOnce();

private:
    void CloseUpAgcAfterReport();
};

void ModeAgcTest::stepModeModeCloseUp_sendsStepsFromReportedToChosen_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QByteArray>("steps");
    for (int r = 0; r < 4; ++r)
        for (int w = 0; w < 4; ++w)
            QTest::addRow("%s reported, %s chosen", kModeNames[r], kModeNames[w])
                << QByteArray("M") + char('1' + r) + " \n" << w << QByteArray(kModeSteps[r][w]);
}

void ModeAgcTest::stepModeModeCloseUp_sendsStepsFromReportedToChosen()
{
    QFETCH(QByteArray, report);
    QFETCH(int, chosen);
    QFETCH(QByteArray, steps);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(report);
    const CString echoBefore = view.m_strLastCommand;

    view.m_cbMode.SetCurSel(chosen);
    view.OnCloseUpMode();

    QCOMPARE(g_chNewMode, char('1' + chosen));
    QCOMPARE(Shown(h.TakeWrites()), Shown(OneWriteOrNone(steps)));
    QCOMPARE(view.m_strLastCommand, steps.isEmpty() ? echoBefore : steps);
}

void ModeAgcTest::stepModeSendMode_outsideUsbToCw_sendsNothing_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<char>("wanted");
    QTest::newRow("no mode report yet, LSB wanted") << QByteArray() << '2';
    QTest::newRow("'0' reported, USB wanted") << QByteArray("M0 \n") << '1';
    QTest::newRow("'5' reported, USB wanted") << QByteArray("M5 \n") << '1';
    QTest::newRow("USB reported, nothing selected ('0')") << QByteArray("M1 \n") << '0';
    QTest::newRow("USB reported, '5' wanted") << QByteArray("M1 \n") << '5';
}

void ModeAgcTest::stepModeSendMode_outsideUsbToCw_sendsNothing()
{
    QFETCH(QByteArray, report);
    QFETCH(char, wanted);
    StartedPanel h;
    h.Feed(report);

    g_chNewMode = wanted;
    h.View().SendMode();

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void ModeAgcTest::CloseUpAgcAfterReport()
{
    QFETCH(QByteArray, report);
    QFETCH(int, chosen);
    QFETCH(QByteArray, steps);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(report);

    view.m_cbAgc.SetCurSel(chosen);
    view.OnCloseUpAgc();

    QCOMPARE(g_chNewAgc, char('1' + chosen));
    QCOMPARE(Shown(h.TakeWrites()), Shown(OneWriteOrNone(steps)));
}

void ModeAgcTest::stepModeAgcCloseUp_sendsStepsAlongSlowMediumFast_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QByteArray>("steps");
    for (int r = 0; r < 3; ++r)
        for (int w = 0; w < 3; ++w)
            QTest::addRow("%s reported, %s chosen", kAgcNames[r + 1], kAgcNames[w + 1])
                << QByteArray("A") + char('2' + r) + " \n" << w + 1 << QByteArray(kAgcSteps[r][w]);
}

void ModeAgcTest::stepModeAgcCloseUp_sendsStepsAlongSlowMediumFast() { CloseUpAgcAfterReport(); }

void ModeAgcTest::stepModeAgcCloseUp_offReportedOrChosen_sendsNothing_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QByteArray>("steps");
    for (int other = 1; other < 4; ++other) {
        QTest::addRow("Off reported, %s chosen", kAgcNames[other]) << QByteArray("A1 \n") << other << QByteArray();
        QTest::addRow("%s reported, Off chosen", kAgcNames[other])
            << QByteArray("A") + char('1' + other) + " \n" << 0 << QByteArray();
    }
    QTest::newRow("no AGC report yet, Fast chosen") << QByteArray() << 3 << QByteArray();
    QTest::newRow("Slow reported, nothing selected") << QByteArray("A2 \n") << -1 << QByteArray();
}

void ModeAgcTest::stepModeAgcCloseUp_offReportedOrChosen_sendsNothing() { CloseUpAgcAfterReport(); }

void ModeAgcTest::directModeCloseUp_sendsAgcModeAndLastFrequency_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QByteArrayList>("expected");
    const QByteArray freq = "F0703525\n";
    QTest::newRow("CW reported, Fast chosen")
        << QByteArray("G35 F0703525 A2 M4 \n") << IDC_AGC << 3 << QByteArrayList{"A4\n", "M4\n", freq};
    QTest::newRow("Medium reported, LSB chosen")
        << QByteArray("G35 F0703525 A3 M1 \n") << IDC_MODE << 1 << QByteArrayList{"A3\n", "M2\n", freq};
    QTest::newRow("USB reported, USB chosen again")
        << QByteArray("G35 F0703525 A3 M1 \n") << IDC_MODE << 0 << QByteArrayList{"A3\n", "M1\n", freq};
    QTest::newRow("Fast reported, Fast chosen again")
        << QByteArray("G35 F0703525 A4 M3 \n") << IDC_AGC << 3 << QByteArrayList{"A4\n", "M3\n", freq};
    QTest::newRow("Slow reported, Off chosen")
        << QByteArray("G35 F0703525 A2 M3 \n") << IDC_AGC << 0 << QByteArrayList{"A1\n", "M3\n", freq};
    QTest::newRow("Off reported, Slow chosen")
        << QByteArray("G35 F0703525 A1 M3 \n") << IDC_AGC << 1 << QByteArrayList{"A2\n", "M3\n", freq};
    QTest::newRow("nothing selected in the mode list")
        << QByteArray("G35 F0703525 A3 M2 \n") << IDC_MODE << -1 << QByteArrayList{"A3\n", "M0\n", freq};
    QTest::newRow("AGC never reported, CW chosen")
        << QByteArray("G35 F0703525 M2 \n") << IDC_MODE << 3 << QByteArrayList{"M4\n", freq};
    QTest::newRow("mode never reported, Medium chosen")
        << QByteArray("G35 F0703525 A2 \n") << IDC_AGC << 2 << QByteArrayList{"A3\n", freq};
    QTest::newRow("a later frequency report is the one sent")
        << QByteArray("G35 F0703525 A3 M2 \nF1425000 \n") << IDC_MODE << 0
        << QByteArrayList{"A3\n", "M1\n", "F1425000\n"};
}

void ModeAgcTest::directModeCloseUp_sendsAgcModeAndLastFrequency()
{
    QFETCH(QByteArray, report);
    QFETCH(int, list);
    QFETCH(int, chosen);
    QFETCH(QByteArrayList, expected);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(report);
    QCOMPARE(g_bStepMode, BYTE(0));

    if (list == IDC_MODE) {
        view.m_cbMode.SetCurSel(chosen);
        view.OnCloseUpMode();
    } else {
        view.m_cbAgc.SetCurSel(chosen);
        view.OnCloseUpAgc();
    }

    QCOMPARE(Shown(h.TakeWrites()), Shown(expected));
}

// The list is opened, a choice made while it is open, and the list closed.
void ModeAgcTest::modePopupClosedOnAChoice_sendsStepsToIt()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    h.Feed("M2 \n");
    DropDownCombo* list = ModeList(view);
    QCOMPARE(list->currentIndex(), 1);

    list->showPopup();
    QTRY_VERIFY(list->view()->isVisible());
    list->setCurrentIndex(0);
    list->hidePopup();

    QTRY_COMPARE(Shown(h.Port().writes), Shown({"M\nM\nM\n"}));
}

// The user's own way of choosing: a click on an item of the open list.
void ModeAgcTest::clickingAnItemInTheModePopup_sendsStepsToThatItem()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    h.Feed("M1 \n");
    DropDownCombo* list = ModeList(view);

    list->showPopup();
    QAbstractItemView* items = list->view();
    QTRY_VERIFY(items->isVisible());
    const QPoint cw = items->visualRect(list->model()->index(3, 0)).center();
    QTest::mouseMove(items->viewport(), cw);
    QTest::mouseClick(items->viewport(), Qt::LeftButton, {}, cw);
    QTRY_VERIFY(!items->isVisible());

    QCOMPARE(list->currentIndex(), 3);
    QTRY_COMPARE(Shown(h.Port().writes), Shown({"M\nM\nM\n"}));
}

// A list that was never opened has not been closed up: hiding the window
// must not send the radio the settings the lists happen to show.
void ModeAgcTest::hidingTheShownPanel_sendsNoModeOrAgc()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    h.Feed("G35 F0703525 A3 M2 \n");

    view.hide();
    QCoreApplication::processEvents(); // a queued close-up would arrive here

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void ModeAgcTest::everyWayOfChoosing_runsTheCloseUpOnce_data()
{
    QTest::addColumn<int>("listId");
    QTest::addColumn<Choosing>("way");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArrayList>("expected");
    // Direct mode, AGC Medium and LSB reported: each close-up sends all three.
    const auto closeUp = [](const char* agc, const char* mode) { return QByteArrayList{agc, mode, "F0703525\n"}; };
    QTest::newRow("mode: item clicked") << int(IDC_MODE) << Choosing::ClickAnItem << "" << closeUp("A3\n", "M4\n");
    QTest::newRow("mode: Escape") << int(IDC_MODE) << Choosing::Escape << "" << closeUp("A3\n", "M2\n");
    QTest::newRow("mode: list closed by Qt") << int(IDC_MODE) << Choosing::AppDeactivated << "" << closeUp("A3\n", "M2\n");
    QTest::newRow("mode: c completed, Enter") << int(IDC_MODE) << Choosing::TypeAndEnter << "c" << closeUp("A3\n", "M4\n");
    QTest::newRow("mode: am typed, Enter") << int(IDC_MODE) << Choosing::TypeAndEnter << "am" << closeUp("A3\n", "M3\n");
    QTest::newRow("mode: no such item, Enter") << int(IDC_MODE) << Choosing::TypeAndEnter << "x" << QByteArrayList();
    QTest::newRow("mode: Down arrow") << int(IDC_MODE) << Choosing::DownArrow << "" << closeUp("A3\n", "M3\n");
    // A turn meant for the frequency display beside the list chooses nothing.
    QTest::newRow("mode: wheel, list closed") << int(IDC_MODE) << Choosing::WheelOverClosedList << "" << QByteArrayList();
    QTest::newRow("agc: item clicked") << int(IDC_AGC) << Choosing::ClickAnItem << "" << closeUp("A4\n", "M2\n");
    QTest::newRow("agc: list closed by Qt") << int(IDC_AGC) << Choosing::AppDeactivated << "" << closeUp("A3\n", "M2\n");
    QTest::newRow("agc: s completed, Enter") << int(IDC_AGC) << Choosing::TypeAndEnter << "s" << closeUp("A2\n", "M2\n");
}

void ModeAgcTest::everyWayOfChoosing_runsTheCloseUpOnce()
{
    QFETCH(int, listId);
    QFETCH(Choosing, way);
    QFETCH(QString, typed);
    QFETCH(QByteArrayList, expected);
    StartedPanel h;
    CTavrinView& view = h.View();
    QVERIFY(ShowActive(view));
    h.Feed("G35 F0703525 A3 M2 \n");
    h.TakeWrites();
    auto* list = static_cast<DropDownCombo*>(view.Form().Combo(listId));

    Choose(list, way, typed);

    QTRY_VERIFY(!list->view()->isVisible());
    QTRY_COMPARE(Shown(h.Port().writes), Shown(expected));
    QTest::qWait(50); // nothing more is on its way
    QCOMPARE(Shown(h.TakeWrites()), Shown(expected));
}

QTEST_MAIN(ModeAgcTest)
#include "test_modeagc.moc"
