// What the refresh after every received character and every keystroke costs:
// it writes every member into its control, but a control whose value did not
// change must not be touched. Characters that change nothing repaint
// nothing (at 960 characters a second a repaint per character would cost
// more than the wake-up that brought it), and a field being typed into keeps
// its caret, its selection and its undo history.
#include <QApplication>
#include <QLineEdit>
#include <QtTest>

#include "panel/tavrinview.h"
#include "res/resource.h"
#include "support/viewharness.h"

namespace {

const QByteArray kReport("F0703525 M2 A3 H1 V0 D1 S0 I0 (1 '0 \"0 ,0 *0 O1 U \n");
const QByteArray kNextReport("F0703526 M2 A3 H1 V0 D1 S0 I0 (1 '0 \"0 ,0 *0 O1 U \n");

// The widgets of the view that were painted, by object name.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget& view) : m_view(view) { qApp->installEventFilter(this); }
    ~PaintWatch() override { qApp->removeEventFilter(this); }
    QStringList Take() { return std::exchange(m_painted, {}); }

private:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget && (widget == &m_view || m_view.isAncestorOf(widget)))
            m_painted << (widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                         : widget->objectName());
        return false;
    }

    QWidget& m_view;
    QStringList m_painted;
};

} // namespace

class TestRefreshCost : public QObject {
    Q_OBJECT
private slots:
    void charactersThatChangeNothing_repaintNothing_data();
    void charactersThatChangeNothing_repaintNothing();
    void fieldBeingTyped_keepsCaretAndUndoThroughRefreshes_data();
    void fieldBeingTyped_keepsCaretAndUndoThroughRefreshes();
};

void TestRefreshCost::charactersThatChangeNothing_repaintNothing_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("lineChangesTheForm");
    QTest::newRow("the same report again") << kReport << false;
    QTest::newRow("a report with a new frequency") << kNextReport << true;
}

void TestRefreshCost::charactersThatChangeNothing_repaintNothing()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, lineChangesTheForm);
    QApplication::setCursorFlashTime(0); // a blinking caret repaints on its own
    const QByteArray file = ViewHarness::MinimalChannelFile();
    ViewHarness h(&file);
    h.Start();
    h.View().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.View()));
    h.Feed(kReport);
    QCoreApplication::processEvents();
    PaintWatch watch(h.View());

    for (qsizetype i = 0; i < line.size(); ++i) {
        h.Feed(line.mid(i, 1));
        QCoreApplication::processEvents();
        const QStringList painted = watch.Take();
        const bool lineEnds = i == line.size() - 1;
        QVERIFY2(painted.isEmpty() || (lineEnds && lineChangesTheForm),
                 qPrintable(QStringLiteral("character %1 repainted %2").arg(i).arg(painted.join(QLatin1Char(' ')))));
        if (lineEnds && lineChangesTheForm)
            QVERIFY(!painted.isEmpty());
    }
}

// The two fields with a length limit: the limit must not be set again, which
// would set the text again, at every refresh.
void TestRefreshCost::fieldBeingTyped_keepsCaretAndUndoThroughRefreshes_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("afterOneMore");
    QTest::newRow("RF gain") << IDC_RF_GAIN << QStringLiteral("5") << 0 << QStringLiteral("95");
    QTest::newRow("BFO") << IDC_BFO << QStringLiteral("150") << 1 << QStringLiteral("1950");
}

void TestRefreshCost::fieldBeingTyped_keepsCaretAndUndoThroughRefreshes()
{
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(int, caret);
    QFETCH(QString, afterOneMore);
    const QByteArray file = ViewHarness::MinimalChannelFile();
    ViewHarness h(&file);
    h.Start();
    h.View().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.View()));
    QLineEdit* field = h.View().Form().Edit(id);
    field->setFocus();
    QTest::keyClicks(field, typed);
    QTest::keyClick(field, Qt::Key_Home);
    for (int i = 0; i < caret; ++i)
        QTest::keyClick(field, Qt::Key_Right);

    h.Feed("F");

    QCOMPARE(field->cursorPosition(), caret);
    QVERIFY(field->isUndoAvailable());
    QTest::keyClick(field, Qt::Key_9);
    QCOMPARE(field->text(), afterOneMore);
    QCOMPARE(field->cursorPosition(), caret + 1);
}

QTEST_MAIN(TestRefreshCost)
#include "test_refreshcost.moc"
