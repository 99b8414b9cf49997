#include "portchooser/warningtext.h"

#include <QLabel>

void ShowAsWarning(QLabel& label)
{
    QPalette warning = label.palette();
    warning.setColor(QPalette::WindowText, QColor(160, 0, 0));
    label.setPalette(warning);
}
