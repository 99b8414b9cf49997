// Tuning the radio: the Up and Down buttons with each step size, and the jog
// between the scan limits of the channel file (7000 to 7300 kHz).
#include <QAbstractButton>
#include <QWheelEvent>
#include <QtTest>

#include "panel/dialogform.h"
#include "panel/frequencywheel.h"
#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "res/resource.h"

using radiosim::RadioState;

namespace {

RadioState TunedTo(double kHz)
{
    RadioState s;
    s.setFrequencyKHz(kHz);
    return s;
}

QString Khz(const RadioState& s) { return QString::number(s.frequencyKHz(), 'f', 2); }

} // namespace

class E2eTuningTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void stepButtonThenUpOrDown_tunesTheRadioByThatStep_data();
    void stepButtonThenUpOrDown_tunesTheRadioByThatStep();
    void jogTicks_walkTheRadioAndWrapAtTheLimits_data();
    void jogTicks_walkTheRadioAndWrapAtTheLimits();
    void secondClickOnTheRunningJog_stopsIt();
    void quickWheelSpin_tunesTheRadioByEveryNotch_data();
    void quickWheelSpin_tunesTheRadioByEveryNotch();

private:
    QTemporaryDir m_profile;
};

void E2eTuningTest::initTestCase() { QVERIFY(UseScratchProfileSettings(m_profile)); }

void E2eTuningTest::stepButtonThenUpOrDown_tunesTheRadioByThatStep_data()
{
    QTest::addColumn<double>("fromKHz");
    QTest::addColumn<int>("stepButton");
    QTest::addColumn<int>("stepIndex");
    QTest::addColumn<int>("pushButton");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("wantedKHz");

    QTest::newRow("1 kHz up") << 7035.25 << IDC_STEP_1K << 5 << IDC_FREQ_UP << 1 << "7036.25";
    QTest::newRow("10 kHz down") << 7035.25 << IDC_STEP_10K << 3 << IDC_FREQ_DOWN << 1 << "7025.25";
    QTest::newRow("100 Hz up") << 7035.25 << IDC_STEP_100 << 7 << IDC_FREQ_UP << 1 << "7035.35";
    QTest::newRow("50 Hz up") << 7035.25 << IDC_STEP_50 << 8 << IDC_FREQ_UP << 1 << "7035.30";
    QTest::newRow("10 Hz down") << 7155.50 << IDC_STEP_10 << 9 << IDC_FREQ_DOWN << 1 << "7155.49";
    QTest::newRow("500 Hz down three times") << 7035.25 << IDC_STEP_500 << 6 << IDC_FREQ_DOWN << 3 << "7033.75";
    QTest::newRow("5 kHz up twice") << 7100.00 << IDC_STEP_5K << 4 << IDC_FREQ_UP << 2 << "7110.00";
    QTest::newRow("50 kHz up passes the upper limit") << 7290.00 << IDC_STEP_50K << 2 << IDC_FREQ_UP << 1 << "7340.00";
    QTest::newRow("50 kHz up from past the limit wraps") << 7290.00 << IDC_STEP_50K << 2 << IDC_FREQ_UP << 2 << "7000.00";
    QTest::newRow("5 kHz up at the upper limit wraps") << 7300.00 << IDC_STEP_5K << 4 << IDC_FREQ_UP << 1 << "7000.00";
    QTest::newRow("500 Hz down at the lower limit wraps") << 7000.00 << IDC_STEP_500 << 6 << IDC_FREQ_DOWN << 1 << "7300.00";
    QTest::newRow("100 kHz down from above the range") << 14250.00 << IDC_STEP_100K << 1 << IDC_FREQ_DOWN << 1 << "7300.00";
    QTest::newRow("500 kHz up from below the range") << 2182.00 << IDC_STEP_500K << 0 << IDC_FREQ_UP << 1 << "7000.00";
}

void E2eTuningTest::stepButtonThenUpOrDown_tunesTheRadioByThatStep()
{
    QFETCH(double, fromKHz);
    QFETCH(int, stepButton);
    QFETCH(int, stepIndex);
    QFETCH(int, pushButton);
    QFETCH(int, presses);
    QFETCH(QString, wantedKHz);
    PanelOnRadio panel(TunedTo(fromKHz));
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    panel.Start();
    QVERIFY(panel.Settle());
    CTavrinView& view = panel.View();

    Click(view.Form().Button(stepButton));
    for (int i = 0; i < presses; ++i) {
        Click(view.Form().Button(pushButton));
        QVERIFY(panel.Settle());
    }

    QCOMPARE(Khz(panel.Radio().state()), wantedKHz);
    QCOMPARE(PanelDiffersFromRadio(view, panel.Radio().state()), QString());
    QCOMPARE(view.m_nStep, stepIndex);
    QCOMPARE(CheckedRadioInGroup(view.Form().RadioGroup(IDC_STEP_500K)), stepIndex);
}

void E2eTuningTest::jogTicks_walkTheRadioAndWrapAtTheLimits_data()
{
    QTest::addColumn<double>("fromKHz");
    QTest::addColumn<int>("stepButton");
    QTest::addColumn<int>("jogButton");
    QTest::addColumn<QStringList>("visited");

    QTest::newRow("up by 1 kHz") << 7298.00 << IDC_STEP_1K << IDC_JOG_UP
                                 << QStringList{"7299.00", "7300.00", "7000.00", "7001.00"};
    QTest::newRow("down by 50 kHz") << 7100.00 << IDC_STEP_50K << IDC_JOG_DOWN
                                    << QStringList{"7050.00", "7000.00", "7300.00", "7250.00"};
    QTest::newRow("down by 10 Hz") << 7000.02 << IDC_STEP_10 << IDC_JOG_DOWN
                                   << QStringList{"7000.01", "7000.00", "7300.00", "7299.99"};
}

void E2eTuningTest::jogTicks_walkTheRadioAndWrapAtTheLimits()
{
    QFETCH(double, fromKHz);
    QFETCH(int, stepButton);
    QFETCH(int, jogButton);
    QFETCH(QStringList, visited);
    PanelOnRadio panel(TunedTo(fromKHz));
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    panel.Start();
    QVERIFY(panel.Settle());
    CTavrinView& view = panel.View();
    Click(view.Form().Button(stepButton));
    Click(view.Form().Button(jogButton));

    QStringList reached;
    for (int tick = 0; tick < visited.size(); ++tick) {
        view.OnTimer(3);
        QVERIFY(panel.Settle());
        reached << Khz(panel.Radio().state());
    }

    QCOMPARE(reached, visited);
    QCOMPARE(PanelDiffersFromRadio(view, panel.Radio().state()), QString());
    const int direction = jogButton == IDC_JOG_UP ? 0 : 1;
    QCOMPARE(view.m_nJog, direction);
    QCOMPARE(CheckedRadioInGroup(view.Form().RadioGroup(IDC_JOG_UP)), direction);
}

void E2eTuningTest::secondClickOnTheRunningJog_stopsIt()
{
    PanelOnRadio panel(TunedTo(7100.0));
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    panel.Start();
    QVERIFY(panel.Settle());
    CTavrinView& view = panel.View();
    Click(view.Form().Button(IDC_JOG_UP));
    view.OnTimer(3);
    QVERIFY(panel.Settle());
    QCOMPARE(Khz(panel.Radio().state()), QString("7101.00"));
    const int commands = panel.Radio().commandsHandled();

    Click(view.Form().Button(IDC_JOG_UP));
    view.OnTimer(3);
    view.OnTimer(3);
    QVERIFY(panel.Settle());

    QCOMPARE(view.m_nJog, -1);
    QCOMPARE(panel.Radio().commandsHandled(), commands);
    QCOMPARE(Khz(panel.Radio().state()), QString("7101.00"));
}

void E2eTuningTest::quickWheelSpin_tunesTheRadioByEveryNotch_data()
{
    QTest::addColumn<double>("fromKHz");
    QTest::addColumn<int>("notches");
    QTest::addColumn<QString>("wantedKHz");
    QTest::newRow("five up") << 7035.25 << 5 << "7040.25";
    QTest::newRow("four down") << 7035.25 << -4 << "7031.25";
    QTest::newRow("up across the upper limit, no wrap") << 7298.00 << 4 << "7302.00";
}

// The notches come faster than the radio answers: none may be lost.
void E2eTuningTest::quickWheelSpin_tunesTheRadioByEveryNotch()
{
    QFETCH(double, fromKHz);
    QFETCH(int, notches);
    QFETCH(QString, wantedKHz);
    PanelOnRadio panel(TunedTo(fromKHz));
    QVERIFY2(panel.SetupProblem().isEmpty(), qPrintable(panel.SetupProblem()));
    new CFrequencyWheel(panel.View());
    panel.Start();
    QVERIFY(panel.Settle());
    QWidget* display = panel.View().Form().Item(IDC_FREQ);

    for (int i = 0; i < std::abs(notches); ++i) {
        QWheelEvent notch(QPointF(5, 5), display->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, notches > 0 ? 120 : -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(display, &notch);
    }
    QVERIFY(panel.Settle());

    QCOMPARE(Khz(panel.Radio().state()), wantedKHz);
    QCOMPARE(PanelDiffersFromRadio(panel.View(), panel.Radio().state()), QString());
}

QTEST_MAIN(E2eTuningTest)
#include "e2e_tuning.moc"
