// How the form looks on any desktop: every caption whole inside its control
// and clear of the others, black on the form's light background even under a
// dark theme, and only the frequency display red on pale yellow.
#include <QtTest>

#include "panel/tavrinview.h"
#include "res/resource.h"
#include "support/captions.h"
#include "support/viewharness.h"

class FormLookTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> m_h;
    const CDialogForm& Form() { return m_h->View().Form(); }

private slots:
    void init();
    void cleanup() { m_h.reset(); }

    void everyCaption_fitsItsControl_data();
    void everyCaption_fitsItsControl();
    void everyCaption_isClearOfTheOtherControls_data();
    void everyCaption_isClearOfTheOtherControls();
    void underADarkTheme_textStaysBlackOnTheLightForm();
};

namespace {

QString Where(const QRect& r)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

void AddControlRows(const CDialogForm& form)
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < form.Template().count; ++i) {
        const FormControl& control = form.Template().controls[i];
        QTest::addRow("%d: %d %s", i, control.id, control.caption) << i;
    }
}

// The darkest pixel of a part of an image, and its median: the ground the
// text stands on, since glyphs cover the lesser part.
std::pair<int, int> DarkestAndGround(const QImage& image, const QRect& part)
{
    std::vector<int> lightness;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            lightness.push_back(qGray(image.pixel(x, y)));
    std::sort(lightness.begin(), lightness.end());
    return {lightness.front(), lightness[lightness.size() / 2]};
}

int CountNear(const QImage& image, const QRect& part, const QColor& colour)
{
    int count = 0;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x) {
            const QColor seen = image.pixelColor(x, y);
            count += std::abs(seen.red() - colour.red()) + std::abs(seen.green() - colour.green())
                         + std::abs(seen.blue() - colour.blue()) < 60;
        }
    return count;
}

} // namespace

void FormLookTest::init()
{
    const QByteArray file = ViewHarness::MinimalChannelFile();
    m_h = std::make_unique<ViewHarness>(&file);
    m_h->Start();
}

void FormLookTest::everyCaption_fitsItsControl_data() { init(); AddControlRows(Form()); cleanup(); }

void FormLookTest::everyCaption_fitsItsControl()
{
    QFETCH(int, index);
    const QWidget* control = Form().Controls()[index];
    const QRect text = CaptionTextRect(control);
    const QRect room = CaptionRoom(control);
    if (text.isNull())
        return;
    const QString seen = QStringLiteral("text %1 room %2 control %3").arg(Where(text), Where(room), Where(control->geometry()));
    QVERIFY2(text.left() >= room.left() && text.right() <= room.right(), qPrintable(seen));
    QVERIFY2(control->geometry().contains(text), qPrintable(seen));
}

void FormLookTest::everyCaption_isClearOfTheOtherControls_data() { init(); AddControlRows(Form()); cleanup(); }

void FormLookTest::everyCaption_isClearOfTheOtherControls()
{
    QFETCH(int, index);
    const QWidget* control = Form().Controls()[index];
    const QRect text = CaptionInkRect(control);
    if (text.isNull())
        return;
    QStringList covered;
    for (const QWidget* other : Form().Controls()) {
        if (other == control)
            continue;
        for (const QRect& ink : InkRects(other))
            if (ink.intersects(text))
                covered << other->objectName() + Where(ink);
    }
    QVERIFY2(covered.isEmpty(), qPrintable(Where(text) + QStringLiteral(" covered by ") + covered.join(", ")));
}

// A dark desktop theme gives light text on dark grounds; the form keeps
// black text on its light face, and the frequency display its own colours.
void FormLookTest::underADarkTheme_textStaysBlackOnTheLightForm()
{
    cleanup();
    const QPalette desktop = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(53, 53, 53)));
    QVERIFY(QApplication::palette().color(QPalette::WindowText).lightness() > 200);
    init();
    CTavrinView& view = m_h->View();
    view.m_strFreq = "7035.250";
    view.m_strStatus = "F0703525 U \n";
    view.UpdateData(false);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage shot = view.grab().toImage();
    QApplication::setPalette(desktop);

    QStringList wrong;
    for (const QWidget* control : Form().Controls()) {
        QRect text = CaptionInkRect(control);
        if (control == Form().Item(IDC_SETTINGS) || control == Form().Item(IDC_STATUS))
            text = control->geometry().adjusted(4, 4, -4, -4);
        if (text.isNull())
            continue;
        const auto [darkest, ground] = DarkestAndGround(shot, text);
        if (darkest > 60 || ground < 150)
            wrong << QStringLiteral("%1 (text %2 on %3)").arg(control->objectName()).arg(darkest).arg(ground);
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(", ")));
    const QRect display = Form().Item(IDC_FREQ)->geometry().adjusted(3, 3, -3, -3);
    QVERIFY(CountNear(shot, display, QColor(255, 0, 0)) > 20);
    QVERIFY(CountNear(shot, display, QColor(237, 238, 189)) > display.width() * display.height() / 2);
}

QTEST_MAIN(FormLookTest)
#include "test_formlook.moc"
