#include "buttonpresser.h"

#include <QAbstractButton>
#include <QApplication>
#include <cstdio>
#include <unistd.h>

ButtonPresser::ButtonPresser() : m_input(STDIN_FILENO, QSocketNotifier::Read)
{
    connect(&m_input, &QSocketNotifier::activated, this, &ButtonPresser::OnLine);
}

void ButtonPresser::OnLine()
{
    char bytes[256];
    const ssize_t got = ::read(STDIN_FILENO, bytes, sizeof bytes);
    if (got <= 0) {
        m_input.setEnabled(false);
        return;
    }
    m_pending.append(bytes, got);
    for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
        const QString caption = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        std::printf("%s %s\n", Press(caption) ? "pressed" : "no", qPrintable(caption));
        std::fflush(stdout);
    }
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
