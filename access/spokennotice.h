#pragma once
// Words a screen reader says wherever the focus is. Orca speaks a
// notification as it appears, whatever has the focus; it says nothing of a
// new window title or a new name, which this Qt hands it as an object
// rather than as text. The notice is such a notification: no size, never
// focused, shown anew with each message.
#include <QWidget>

class CSpokenNotice : public QWidget {
    Q_OBJECT
public:
    explicit CSpokenNotice(QWidget* parent);

    void Say(const QString& words);
};
