#pragma once
// What is wrong with the user's choice shows in one dark red throughout the
// port dialog, whatever the desktop's colours.
#include <QLabel>

inline void ShowAsWarning(QLabel& label)
{
    QPalette warning = label.palette();
    warning.setColor(QPalette::WindowText, QColor(160, 0, 0));
    label.setPalette(warning);
}
