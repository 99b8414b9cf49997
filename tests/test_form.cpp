// Form 101 as the user meets it: every control where the panel's layout puts
// it, the radio groups, the length limits, live synchronisation while typing,
// and the look of the frequency display.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/viewharness.h"

namespace {

// h hosted control, e edit, s static text, g group box, p push button,
// r radio button, c check box, d drop-down combo, l simple combo (list).
struct Row {
    int id;
    char kind;
    const char* caption; // null: any caption ending in "Settings"
    int x, y, w, h;
    bool startsGroup;
};

const Row kLayout[] = {
    {1002, 'h', "", 164, 196, 19, 19, false},
    {1000, 'e', "", 2, 199, 145, 12, false},
    {-1, 's', "Freq. in kHz", 55, 0, 64, 8, true},
    {1017, 'e', "", 41, 8, 77, 17, false},
    {1018, 'd', "", 3, 27, 46, 54, false},
    {1019, 'd', "", 4, 47, 46, 56, false},
    {-1, 's', "AGC", 14, 19, 15, 8, true},
    {-1, 's', "Mode", 13, 39, 23, 8, true},
    {1012, 'p', "Up", 117, 46, 20, 14, true},
    {1014, 'p', "Down", 142, 46, 23, 14, true},
    {1031, 'r', "500 kHz", 261, 9, 40, 10, true},
    {1032, 'r', "100 kHz", 261, 18, 40, 10, false},
    {1033, 'r', "50 kHz", 261, 27, 34, 10, false},
    {1026, 'r', "10 kHz", 261, 36, 34, 10, false},
    {1034, 'r', "5 kHz", 261, 45, 34, 10, false},
    {1035, 'r', "1 kHz", 261, 54, 34, 10, false},
    {1036, 'r', "500 Hz", 261, 63, 40, 10, false},
    {1037, 'r', "100 Hz", 261, 72, 40, 10, false},
    {1038, 'r', "50 Hz", 261, 81, 34, 10, false},
    {1039, 'r', "10 Hz", 261, 90, 34, 10, false},
    {1044, 'p', "Save Chnl", 202, 57, 40, 11, true},
    {1046, 'l', "", 0, 72, 257, 92, false},
    {-1, 's', "Chnl  Freq  Mode  AGC  Audio I/O - Description", 2, 63, 189, 8, true},
    {1050, 'r', "Mic", 305, 7, 27, 10, true},
    {1051, 'r', "Audio2", 305, 17, 39, 10, false},
    {1052, 'r', "Patch", 305, 27, 37, 10, false},
    {1009, 'e', "", 307, 113, 18, 12, false},
    {1053, 'p', "Set", 329, 113, 18, 13, true},
    {1013, 'e', "", 306, 141, 26, 12, false},
    {-1, 'g', "RF Gain", 303, 103, 49, 27, false},
    {-1, 'g', "Audio", 303, 0, 54, 60, false},
    {-1, 'g', "Delta F", 259, 1, 43, 100, true},
    {1058, 'c', "Clipping", 303, 71, 40, 10, false},
    {1060, 'c', "Side Tone", 305, 45, 53, 10, true},
    {1061, 'r', "Up", 172, 10, 23, 10, true},
    {1062, 'r', "Down", 210, 10, 36, 10, false},
    {1020, 'p', "Set", 336, 141, 18, 13, true},
    {-1, 'g', "VOX", 259, 101, 40, 40, false},
    {1066, 'r', "Off", 261, 109, 25, 10, true},
    {1067, 'r', "Voice", 261, 119, 36, 10, false},
    {1068, 'r', "Data", 261, 129, 30, 10, false},
    {1069, 'r', "Xmit", 2, 0, 37, 10, true},
    {1070, 'r', "Receive", 2, 10, 39, 10, false},
    {1072, 'p', "Chan Scan", 56, 29, 45, 9, true},
    {-1, 's', "Lower", 56, 38, 19, 8, true},
    {1073, 'e', "", 212, 30, 40, 12, false},
    {1074, 'e', "", 171, 30, 40, 12, false},
    {1075, 'e', "", 56, 47, 23, 12, false},
    {1076, 'e', "", 86, 47, 23, 12, false},
    {1077, 'e', "", 121, 23, 45, 12, false},
    {1078, 'p', "Set", 133, 9, 20, 12, true},
    {-1, 'g', "Frequency", 118, 0, 49, 37, false},
    {-1, 'g', "Scan Frequencies", 169, 1, 88, 46, false},
    {-1, 's', "Upper Limit", 212, 22, 35, 8, true},
    {-1, 's', "Lower Limit", 172, 22, 35, 8, true},
    {-1, 's', "Upper", 85, 38, 26, 8, true},
    {1079, 'p', "Tune", 261, 146, 26, 14, true},
    {1059, 'c', "BPF Off", 303, 81, 40, 10, false},
    {1082, 'r', "Audio", 31, 171, 30, 10, true},
    {1083, 'r', "Line", 31, 182, 28, 10, false},
    {1084, 'r', "Patch", 66, 171, 33, 10, false},
    {1085, 'r', "Fwd", 66, 183, 27, 10, false},
    {1086, 'r', "Rev", 104, 171, 30, 10, false},
    {1087, 'r', "VSWR", 104, 183, 38, 10, false},
    {-1, 'g', "Meter", 23, 163, 124, 33, false},
    {1088, 'c', "Ext PTT", 303, 62, 39, 10, false},
    {1089, 'e', "", 202, 197, 145, 14, false},
    {1090, 'c', "Mute", 305, 36, 30, 10, true},
    {1091, 'c', "LocalAudio", 303, 90, 51, 10, false},
    {-1, 'g', "Amplifier", 218, 167, 140, 21, false},
    {1092, 'c', "Pwr", 218, 177, 31, 10, false},
    {1093, 'c', "Rdy", 250, 176, 30, 10, false},
    {1094, 'c', "Oper", 282, 176, 39, 10, false},
    {1095, 'c', "Tuning", 316, 176, 41, 10, false},
    {1097, 'e', "", 156, 169, 48, 14, false},
    {-1, 's', "Jog Frequency", 115, 37, 51, 8, true},
    {-1, 's', nullptr, 156, 161, 50, 8, true},
    {-1, 'g', "BFO", 302, 131, 55, 30, false},
    {1098, 'c', "Power (DTR)", 155, 185, 58, 10, false},
};

char KindOf(QWidget* w)
{
    if (qobject_cast<DropDownCombo*>(w)) return 'd';
    if (qobject_cast<SimpleCombo*>(w)) return 'l';
    if (qobject_cast<QLineEdit*>(w)) return 'e';
    if (qobject_cast<QLabel*>(w)) return 's';
    if (qobject_cast<QGroupBox*>(w)) return 'g';
    if (qobject_cast<QPushButton*>(w)) return 'p';
    if (qobject_cast<QRadioButton*>(w)) return 'r';
    if (qobject_cast<QCheckBox*>(w)) return 'c';
    return 'h';
}

QString CaptionOf(QWidget* w)
{
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(w)) return frame->title();
    return QString();
}

// A dialog font's average width is taken over its 52 letters, rounded.
int DialogBaseX(const QFont& font)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return qRound(QFontMetrics(font).horizontalAdvance(letters) / 52.0);
}

// A quarter of the base width and an eighth of the font's height; each
// edge is mapped on its own, so controls that meet in units meet in pixels.
QRect ExpectedPixels(const QRect& units, double baseX)
{
    const double y = QFontMetrics(QFont(QStringLiteral("Arial"), 8)).height() / 8.0;
    const auto mapX = [baseX](int u) { return qRound(u * baseX / 4); };
    const auto mapY = [y](int u) { return qRound(u * y); };
    const QPoint topLeft(mapX(units.left()), mapY(units.top()));
    return QRect(topLeft, QPoint(mapX(units.x() + units.width()), mapY(units.y() + units.height())) - QPoint(1, 1));
}

int CTavrinView::*GroupMember(const QByteArray& name)
{
    static const QHash<QByteArray, int CTavrinView::*> members = {
        {"m_nStep", &CTavrinView::m_nStep},   {"m_nAudioInput", &CTavrinView::m_nAudioInput},
        {"m_nJog", &CTavrinView::m_nJog},     {"m_nVox", &CTavrinView::m_nVox},
        {"m_nTxRx", &CTavrinView::m_nTxRx},   {"m_nMeter", &CTavrinView::m_nMeter},
    };
    return members.value(name);
}

const QColor kDisplayBackground(237, 238, 189);

} // namespace

class TestForm : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> m_h;

    CTavrinView& View() { return m_h->View(); }
    const CDialogForm& Form() { return m_h->View().Form(); }
    void StartShown()
    {
        m_h->Start();
        View().show();
        QVERIFY(QTest::qWaitForWindowExposed(&View()));
    }

private slots:
    void init();
    void cleanup() { m_h.reset(); }

    void controls_standInControlOrderWithTheirLayout_data();
    void controls_standInControlOrderWithTheirLayout();
    void controls_followEachOtherInTabOrder();
    void mapDialogRect_usesQuarterAverageWidthAndEighthHeight_data();
    void mapDialogRect_usesQuarterAverageWidthAndEighthHeight();
    void form_isArial8AndItsTemplateSize();
    void dropDownLists_holdTheirFourItemsUnselected();
    void radioGroup_positionsFollowControlOrder_data();
    void radioGroup_positionsFollowControlOrder();
    void radioGroup_valueOutsideTheGroup_showsNoButton_data();
    void radioGroup_valueOutsideTheGroup_showsNoButton();
    void afterFirstUpdate_rfGainAndBfoRefuseExtraCharacters();
    void tooLongTextBeforeFirstUpdate_promptsAndStopsAtThatField();
    void typingInALiveField_copiesClickedBoxesIntoMembers_data();
    void typingInALiveField_copiesClickedBoxesIntoMembers();
    void typingInTheMiddle_keepsTheCaret();
    void stateToForm_leavesEqualFieldsUntouched();
    void frequencyDisplay_isReadOnlyCentredRedBoldOnPaleYellow();
    void otherControls_drawBlackWithoutTheDisplayLook();
    void initialMembers_showAtTheFirstUpdate();
};

void TestForm::init()
{
    const QByteArray file = ViewHarness::MinimalChannelFile();
    m_h = std::make_unique<ViewHarness>(&file);
}

void TestForm::controls_standInControlOrderWithTheirLayout_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kLayout)); ++i)
        QTest::addRow("%d: %d %s", i, kLayout[i].id, kLayout[i].caption ? kLayout[i].caption : "settings caption")
            << i;
}

void TestForm::controls_standInControlOrderWithTheirLayout()
{
    QFETCH(int, index);
    const Row& row = kLayout[index];
    QCOMPARE(int(Form().Controls().size()), int(std::size(kLayout)));
    QCOMPARE(Form().Template().count, 79);
    const FormControl& control = Form().Template().controls[index];
    QWidget* widget = Form().Controls()[index];
    QCOMPARE(control.id, row.id);
    QCOMPARE(control.startsGroup, row.startsGroup);
    QCOMPARE(KindOf(widget), row.kind);
    if (row.caption)
        QCOMPARE(CaptionOf(widget), QString::fromLatin1(row.caption));
    else
        QVERIFY2(CaptionOf(widget).endsWith(QStringLiteral("Settings")), qPrintable(CaptionOf(widget)));
    const QRect units(row.x, row.y, row.w, row.h);
    const QRect want = ExpectedPixels(units, Form().Units().baseX);
    QCOMPARE(Form().MapDialogRect(units), want);
    QCOMPARE(widget->pos(), want.topLeft());
    // A caption may take free space to the right of its label or button.
    if (row.kind == 's' || row.kind == 'r' || row.kind == 'c')
        QVERIFY2(widget->width() >= want.width(), qPrintable(QString::number(widget->width())));
    else
        QCOMPARE(widget->width(), want.width());
    if (row.kind == 'd') // the template's height is the open list's; closed, it is an edit field's
        QCOMPARE(widget->height(), ExpectedPixels(QRect(0, 0, 0, 12), 1).height());
    else if (row.kind == 'l') // whole lines only
        QVERIFY(widget->height() <= want.height() && widget->height() > want.height() - 20);
    else
        QCOMPARE(widget->height(), want.height());
    if (row.id != -1)
        QCOMPARE(Form().Item(row.id), widget);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        QCOMPARE(edit->isReadOnly(), row.id == IDC_FREQ);
    QCOMPARE(widget->isHidden(), row.kind == 'h');
}

void TestForm::controls_followEachOtherInTabOrder()
{
    QList<QWidget*> chain;
    for (QWidget* w = View().nextInFocusChain(); w != &View(); w = w->nextInFocusChain())
        if (std::find(Form().Controls().begin(), Form().Controls().end(), w) != Form().Controls().end())
            chain << w;
    const QList<QWidget*> order(Form().Controls().begin(), Form().Controls().end());
    QCOMPARE(chain, order);
}

void TestForm::mapDialogRect_usesQuarterAverageWidthAndEighthHeight_data()
{
    QTest::addColumn<QRect>("units");
    QTest::newRow("whole form") << QRect(0, 0, 358, 215);
    QTest::newRow("one unit") << QRect(1, 1, 1, 1);
    QTest::newRow("odd units") << QRect(3, 5, 7, 9);
    QTest::newRow("amplifier frame") << QRect(218, 167, 140, 21);
    QTest::newRow("four and eight") << QRect(4, 8, 4, 8);
}

void TestForm::mapDialogRect_usesQuarterAverageWidthAndEighthHeight()
{
    QFETCH(QRect, units);
    const QFont font(QStringLiteral("Arial"), 8);
    QCOMPARE(MapDialogRect(font, units), ExpectedPixels(units, DialogBaseX(font)));
    QCOMPARE(Form().MapDialogRect(units), ExpectedPixels(units, Form().Units().baseX));
    // The form's unit is the font's, widened only as far as its captions need.
    QVERIFY(Form().Units().baseX >= DialogBaseX(font));
    QVERIFY(Form().Units().baseX <= 1.25 * DialogBaseX(font));
}

void TestForm::form_isArial8AndItsTemplateSize()
{
    QCOMPARE(View().font().family(), QStringLiteral("Arial"));
    QCOMPARE(View().font().pointSize(), 8);
    QCOMPARE(Form().Template().width, 358);
    QCOMPARE(Form().Template().height, 215);
    QCOMPARE(Form().Size(), ExpectedPixels(QRect(0, 0, 358, 215), Form().Units().baseX).size());
    QCOMPARE(View().size(), Form().Size());
}

void TestForm::dropDownLists_holdTheirFourItemsUnselected()
{
    const auto items = [](QComboBox* combo) {
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        return texts;
    };
    auto* agc = qobject_cast<QComboBox*>(Form().Item(IDC_AGC));
    auto* mode = qobject_cast<QComboBox*>(Form().Item(IDC_MODE));
    QCOMPARE(items(agc), (QStringList{"Off", "Slow", "Medium", "Fast"}));
    QCOMPARE(items(mode), (QStringList{"USB", "LSB", "AM", "CW"}));
    QCOMPARE(agc->currentIndex(), -1);
    QCOMPARE(mode->currentIndex(), -1);
    QVERIFY(agc->isEditable());
    QVERIFY(mode->isEditable());
}

void TestForm::radioGroup_positionsFollowControlOrder_data()
{
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<QList<int>>("ids");
    QTest::newRow("step") << QByteArray("m_nStep")
                          << QList<int>{1031, 1032, 1033, 1026, 1034, 1035, 1036, 1037, 1038, 1039};
    QTest::newRow("audio input") << QByteArray("m_nAudioInput") << QList<int>{1050, 1051, 1052};
    QTest::newRow("jog") << QByteArray("m_nJog") << QList<int>{1061, 1062};
    QTest::newRow("VOX") << QByteArray("m_nVox") << QList<int>{1066, 1067, 1068};
    QTest::newRow("TxRx") << QByteArray("m_nTxRx") << QList<int>{1069, 1070};
    QTest::newRow("meter") << QByteArray("m_nMeter") << QList<int>{1082, 1083, 1084, 1085, 1086, 1087};
}

void TestForm::radioGroup_positionsFollowControlOrder()
{
    QFETCH(QByteArray, member);
    QFETCH(QList<int>, ids);
    int CTavrinView::*field = GroupMember(member);
    const auto& group = Form().RadioGroup(ids.first());
    QCOMPARE(int(group.size()), ids.size());
    for (int position = 0; position < ids.size(); ++position) {
        QCOMPARE(group[position], Form().Button(ids[position]));
        View().*field = position;
        View().UpdateData(false);
        for (int other = 0; other < ids.size(); ++other)
            QCOMPARE(Form().Button(ids[other])->isChecked(), other == position);
    }
    for (int position = ids.size() - 1; position >= 0; --position) {
        Form().Button(ids[position])->setChecked(true);
        View().*field = -7;
        View().UpdateData(true);
        QCOMPARE(View().*field, position);
    }
}

void TestForm::radioGroup_valueOutsideTheGroup_showsNoButton_data()
{
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<int>("firstId");
    QTest::addColumn<int>("value");
    QTest::newRow("jog stopped") << QByteArray("m_nJog") << 1061 << -1;
    QTest::newRow("step past the end") << QByteArray("m_nStep") << 1031 << 10;
    QTest::newRow("meter from D0") << QByteArray("m_nMeter") << 1082 << -1;
    QTest::newRow("meter from a NUL value") << QByteArray("m_nMeter") << 1082 << -49;
    QTest::newRow("VOX from V9") << QByteArray("m_nVox") << 1066 << 9;
}

void TestForm::radioGroup_valueOutsideTheGroup_showsNoButton()
{
    QFETCH(QByteArray, member);
    QFETCH(int, firstId);
    QFETCH(int, value);
    int CTavrinView::*field = GroupMember(member);
    const auto& group = Form().RadioGroup(firstId);
    View().*field = 1;
    View().UpdateData(false);
    QVERIFY(group[1]->isChecked());
    View().*field = value;
    View().UpdateData(false);
    for (QAbstractButton* button : group)
        QVERIFY2(!button->isChecked(), qPrintable(button->objectName()));
    View().UpdateData(true);
    QCOMPARE(View().*field, -1);
}

void TestForm::afterFirstUpdate_rfGainAndBfoRefuseExtraCharacters()
{
    StartShown();
    QLineEdit* gain = Form().Edit(IDC_RF_GAIN);
    QLineEdit* bfo = Form().Edit(IDC_BFO);
    QCOMPARE(gain->maxLength(), 2);
    QCOMPARE(bfo->maxLength(), 5);
    QTest::keyClicks(gain, "123");
    QCOMPARE(gain->text(), QStringLiteral("12"));
    QCOMPARE(View().m_strRfGain, QByteArray("12"));
    QTest::keyClicks(bfo, "123456");
    QCOMPARE(bfo->text(), QStringLiteral("12345"));
    QCOMPARE(View().m_strBfo, QByteArray("12345"));
    QVERIFY(m_h->messages.isEmpty());
}

// Before the first update no limit is on the edit yet: the exchange itself
// then refuses the text and stops at that field.
void TestForm::tooLongTextBeforeFirstUpdate_promptsAndStopsAtThatField()
{
    QLineEdit* gain = Form().Edit(IDC_RF_GAIN);
    Form().Edit(IDC_LAST_COMMAND)->setText(QStringLiteral("typed"));
    Form().Button(IDC_CLIPPING)->setChecked(true);
    gain->setText(QStringLiteral("12"));
    gain->end(false);
    QTest::keyClick(gain, Qt::Key_3);
    QCOMPARE(m_h->messages, QStringList{"Please enter no more than 2 characters."});
    QCOMPARE(View().m_strLastCommand, QByteArray("typed")); // before the failing field
    QCOMPARE(View().m_bClipping, 0);                         // after it
    QVERIFY(!Form().Button(IDC_CLIPPING)->isChecked());      // written back
    QCOMPARE(gain->maxLength(), 2);
}

void TestForm::typingInALiveField_copiesClickedBoxesIntoMembers_data()
{
    QTest::addColumn<int>("id");
    for (int id : {1009, 1013, 1073, 1074, 1075, 1076, 1077, 1018, 1019, 1046})
        QTest::addRow("%d", id) << id;
}

void TestForm::typingInALiveField_copiesClickedBoxesIntoMembers()
{
    QFETCH(int, id);
    StartShown();
    ClickIndicator(Form().Button(IDC_AMP_READY));
    ClickIndicator(Form().Button(IDC_AMP_TUNING));
    Form().Button(IDC_METER_FWD)->setChecked(true);
    QVERIFY(Form().Button(IDC_AMP_READY)->isChecked());
    QCOMPARE(View().m_bAmpReady, 0); // a click alone never reads the form
    m_h->TakeWrites();
    QTest::keyClicks(Form().Edit(id), "7");
    QCOMPARE(View().m_bAmpReady, 1);
    QCOMPARE(View().m_bAmpTuning, 1);
    QCOMPARE(View().m_nMeter, 3);
    QVERIFY(m_h->TakeWrites().isEmpty());
    if (id == IDC_FREQ_ENTRY)
        QCOMPARE(View().m_strFreqEntry, QByteArray("7"));
}

void TestForm::typingInTheMiddle_keepsTheCaret()
{
    StartShown();
    QLineEdit* entry = Form().Edit(IDC_FREQ_ENTRY);
    QTest::keyClicks(entry, "705");
    entry->setCursorPosition(2);
    QTest::keyClicks(entry, "3");
    QCOMPARE(entry->text(), QStringLiteral("7035"));
    QCOMPARE(View().m_strFreqEntry, QByteArray("7035"));
    QCOMPARE(entry->cursorPosition(), 3);
    QVERIFY(entry->isUndoAvailable());
}

void TestForm::stateToForm_leavesEqualFieldsUntouched()
{
    StartShown();
    QLineEdit* entry = Form().Edit(IDC_FREQ_ENTRY);
    QLineEdit* lower = Form().Edit(IDC_SCAN_LOWER);
    QTest::keyClicks(entry, "7035");
    entry->setCursorPosition(1);
    QSignalSpy entryChanges(entry, &QLineEdit::textChanged);
    View().m_strScanLower = " 7100.00";
    View().UpdateData(false);
    QCOMPARE(entryChanges.count(), 0);
    QCOMPARE(entry->cursorPosition(), 1);
    QVERIFY(entry->isUndoAvailable());
    QCOMPARE(lower->text(), QStringLiteral(" 7100.00"));
}

void TestForm::frequencyDisplay_isReadOnlyCentredRedBoldOnPaleYellow()
{
    auto* display = qobject_cast<QLineEdit*>(Form().Item(IDC_FREQ));
    QVERIFY(display);
    QVERIFY(display->isReadOnly());
    QCOMPARE(display->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QVERIFY(display->hasFrame());
    QCOMPARE(display->font().family(), QStringLiteral("Arial"));
    QVERIFY(display->font().bold());
    const int cell = QFontMetrics(display->font()).height();
    QVERIFY2(cell <= 20 && cell >= 16, qPrintable(QString::number(cell)));
    QCOMPARE(display->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(display->palette().color(QPalette::Base), kDisplayBackground);
    auto* settings = qobject_cast<QLineEdit*>(Form().Item(IDC_SETTINGS));
    QCOMPARE(settings->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

void TestForm::otherControls_drawBlackWithoutTheDisplayLook()
{
    for (QWidget* control : Form().Controls()) {
        if (control == Form().Item(IDC_FREQ))
            continue;
        const QByteArray nameBytes = control->objectName().toLatin1();
        const char* name = nameBytes.constData();
        QVERIFY2(!control->font().bold(), name);
        QVERIFY2(control->palette().color(QPalette::Text) == QColor(Qt::black), name);
        QVERIFY2(control->palette().color(QPalette::WindowText) == QColor(Qt::black), name);
        QVERIFY2(control->palette().color(QPalette::Base) != kDisplayBackground, name);
        QVERIFY2(!control->autoFillBackground(), name);
    }
}

void TestForm::initialMembers_showAtTheFirstUpdate()
{
    QCOMPARE(View().m_nStep, -1);
    m_h->Start();
    QCOMPARE(Form().Edit(IDC_SETTINGS)->text(), QStringLiteral(" 9600,O,7,1"));
    QVERIFY(Form().Button(IDC_DTR_POWER)->isChecked());
    QCOMPARE(CheckedRadioInGroup(Form().RadioGroup(IDC_STEP_500K)), -1); // set to 5 after the load
    QCOMPARE(View().m_nStep, 5);
    // The control's next event is its send event, once the queries have left.
    QTRY_COMPARE(CheckedRadioInGroup(Form().RadioGroup(IDC_STEP_500K)), 5);
    for (int first : {IDC_INPUT_MIC, IDC_JOG_UP, IDC_VOX_OFF, IDC_XMIT, IDC_METER_AUDIO})
        QCOMPARE(CheckedRadioInGroup(Form().RadioGroup(first)), -1);
}

QTEST_MAIN(TestForm)
#include "test_form.moc"
