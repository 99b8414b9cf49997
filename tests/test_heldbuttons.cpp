// Tune and Chan Scan show a running tune or scan by their pushed look, and
// only their own handler takes it away: not the focus going elsewhere, a
// click on another control, a double-click in the channel list, another
// window coming to the front, Escape, or a press dragged off the button.
#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "channels/channellist.h"
#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "panel/transmitstate.h"
#include "panel/tuningstate.h"
#include "res/resource.h"
#include "support/panelkit.h"

namespace {

enum class Disturbance { ClickAnEdit, ClickACheckBox, DoubleClickAChannel, TabAway, Escape, DragOff, OtherWindow };

bool Running(int buttonId) { return buttonId == IDC_TUNE ? g_bTuning == 1 : g_bChanScan == 1; }

} // namespace

class HeldButtonsTest : public QObject {
    Q_OBJECT

private slots:
    void pushedLook_staysUntilTheHandlerReleasesIt_data();
    void pushedLook_staysUntilTheHandlerReleasesIt();

private:
    void Disturb(StartedPanel& h, QAbstractButton* button, Disturbance disturbance);
};

void HeldButtonsTest::pushedLook_staysUntilTheHandlerReleasesIt_data()
{
    QTest::addColumn<int>("buttonId");
    QTest::addColumn<Disturbance>("disturbance");
    const std::pair<const char*, Disturbance> disturbances[] = {
        {"click in an edit", Disturbance::ClickAnEdit},
        {"click on a check box", Disturbance::ClickACheckBox},
        {"double-click on a channel", Disturbance::DoubleClickAChannel},
        {"Shift+Tab to the control before", Disturbance::TabAway},
        {"Escape on the button", Disturbance::Escape},
        {"press dragged off the button", Disturbance::DragOff},
        {"another window in front", Disturbance::OtherWindow},
    };
    for (const auto& [name, disturbance] : disturbances) {
        QTest::addRow("Tune, %s", name) << int(IDC_TUNE) << disturbance;
        QTest::addRow("Chan Scan, %s", name) << int(IDC_CHAN_SCAN) << disturbance;
    }
}

void HeldButtonsTest::pushedLook_staysUntilTheHandlerReleasesIt()
{
    QFETCH(int, buttonId);
    QFETCH(Disturbance, disturbance);
    StartedPanel h;
    CTavrinView& view = h.View();
    QVERIFY(ShowActive(view));
    h.Feed("M3 \n");
    QAbstractButton* button = view.Form().Button(buttonId);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(Running(buttonId));
    QVERIFY(button->isDown());

    Disturb(h, button, disturbance);

    QVERIFY(button->isDown());
    QTest::mouseClick(button, Qt::LeftButton);
    // A double-click stopped the scan without a release, so this click
    // starts a new one; every other click ends what is running.
    QCOMPARE(button->isDown(), Running(buttonId));
    QCOMPARE(Running(buttonId), buttonId == IDC_CHAN_SCAN && disturbance == Disturbance::DoubleClickAChannel);
}

void HeldButtonsTest::Disturb(StartedPanel& h, QAbstractButton* button, Disturbance disturbance)
{
    CTavrinView& view = h.View();
    switch (disturbance) {
    case Disturbance::ClickAnEdit:
        QTest::mouseClick(view.Form().Edit(IDC_FREQ_ENTRY), Qt::LeftButton);
        QVERIFY(view.Form().Edit(IDC_FREQ_ENTRY)->hasFocus());
        break;
    case Disturbance::ClickACheckBox:
        ClickIndicator(view.Form().Button(IDC_SIDE_TONE));
        QCOMPARE(h.TakeWrites().last(), QByteArray("S\n"));
        break;
    case Disturbance::DoubleClickAChannel: {
        QListWidget* list = static_cast<SimpleCombo*>(view.Form().Combo(IDC_CHANNELS))->List();
        const QPoint row = list->visualItemRect(list->item(2)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
        QCOMPARE(g_nSelChannel, 2);
        break;
    }
    case Disturbance::TabAway:
        QVERIFY(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(!button->hasFocus());
        break;
    case Disturbance::Escape:
        QVERIFY(button->hasFocus());
        QTest::keyClick(button, Qt::Key_Escape);
        break;
    case Disturbance::DragOff: {
        const QPoint off(button->width() + 20, button->height() / 2);
        QTest::mousePress(button, Qt::LeftButton);
        QTest::mouseMove(button, off);
        QTest::mouseRelease(button, Qt::LeftButton, {}, off);
        break;
    }
    case Disturbance::OtherWindow: {
        QWidget other;
        other.resize(100, 100);
        QVERIFY(ShowActive(other));
        QVERIFY(button->isDown());
        QVERIFY(ShowActive(view));
        break;
    }
    }
}

QTEST_MAIN(HeldButtonsTest)
#include "test_heldbuttons.moc"
