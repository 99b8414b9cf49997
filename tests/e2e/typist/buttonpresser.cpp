#include "buttonpresser.h"

#include <QAbstractButton>
#include <QApplication>
#include <cstdio>
#include <thread>

// The plugin lives as long as the program, so the thread may outlive no one.
ButtonPresser::ButtonPresser()
{
    std::thread([this] {
        char line[256];
        while (std::fgets(line, sizeof line, stdin)) {
            const QString caption = QString::fromUtf8(line).trimmed();
            QMetaObject::invokeMethod(this, [this, caption] { OnLine(caption); }, Qt::QueuedConnection);
        }
    }).detach();
}

void ButtonPresser::OnLine(const QString& caption)
{
    std::printf("%s %s\n", Press(caption) ? "pressed" : "no", qPrintable(caption));
    std::fflush(stdout);
}

bool ButtonPresser::Press(const QString& caption)
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        for (QAbstractButton* button : top->findChildren<QAbstractButton*>()) {
            if (button->isVisible() && button->text().remove('&') == caption) {
                button->click();
                return true;
            }
        }
    }
    return false;
}
