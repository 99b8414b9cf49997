// Types into the real program as its user would, from inside it: a Qt input
// plugin, loaded into the unchanged binary by QT_QPA_GENERIC_PLUGINS, that
// waits for the panel's window, types TAVRIN_TYPE_UPPER_LIMIT into Upper
// Limit and, with TAVRIN_TYPE_THEN_TAB, leaves the edit. Then it prints
// "typed" on its own line. With TAVRIN_SLOW_CLOSE_MS the window's close
// takes that long, so a test can send a second signal meanwhile. With
// TAVRIN_EDIT_CHANNEL it first opens the Channels window (Ctrl+L) and types
// that text over slot 0's description, leaving the edit unsaved. With
// TAVRIN_PRESS_FROM_STDIN it presses buttons instead (buttonpresser.h).
#include <QApplication>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "buttonpresser.h"

namespace {

constexpr int kLookMs = 50;
const char* const kUpperLimit = "control1073";
constexpr int kDescriptionColumn = 6;

class RangeTypist : public QObject {
public:
    RangeTypist()
    {
        connect(&m_look, &QTimer::timeout, this, &RangeTypist::TryTyping);
        m_look.start(kLookMs);
    }

private:
    void TryTyping()
    {
        QWidget* window = nullptr;
        QLineEdit* edit = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* found = top->findChild<QLineEdit*>(QLatin1String(kUpperLimit)); found && found->isVisible())
                window = top, edit = found;
        }
        if (!edit)
            return;
        window->activateWindow();
        edit->setFocus(Qt::MouseFocusReason);
        if (!window->isActiveWindow() || !edit->hasFocus())
            return; // the next look
        m_look.stop();
        Type(*edit);
        if (qEnvironmentVariableIsSet("TAVRIN_EDIT_CHANNEL"))
            EditChannel(*window);
        if (qEnvironmentVariableIntValue("TAVRIN_SLOW_CLOSE_MS") > 0)
            window->installEventFilter(this);
        std::puts("typed");
        std::fflush(stdout);
    }

    void Type(QLineEdit& edit)
    {
        edit.selectAll();
        QTest::keyClicks(&edit, qEnvironmentVariable("TAVRIN_TYPE_UPPER_LIMIT"));
        if (qEnvironmentVariableIsSet("TAVRIN_TYPE_THEN_TAB"))
            QTest::keyClick(&edit, Qt::Key_Tab);
    }

    static void EditChannel(QWidget& panel)
    {
        QTest::keyClick(&panel, Qt::Key_L, Qt::ControlModifier);
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* table = top->findChild<QTableView*>();
            if (!table || !top->isVisible())
                continue;
            const QModelIndex description = table->model()->index(0, kDescriptionColumn);
            table->setCurrentIndex(description);
            table->edit(description);
            if (auto* editor = table->viewport()->findChild<QLineEdit*>()) {
                QTest::keyClicks(editor, qEnvironmentVariable("TAVRIN_EDIT_CHANNEL"));
                QTest::keyClick(editor, Qt::Key_Return);
            }
            return;
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            QThread::msleep(qEnvironmentVariableIntValue("TAVRIN_SLOW_CLOSE_MS"));
        return QObject::eventFilter(watched, event);
    }

    QTimer m_look;
};

} // namespace

class RangeTypistPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "typist.json")
public:
    QObject* create(const QString&, const QString&) override
    {
        if (qEnvironmentVariableIsSet("TAVRIN_PRESS_FROM_STDIN"))
            return new ButtonPresser;
        return new RangeTypist;
    }
};

#include "rangetypist.moc"
