#include "app/aboutdlg.h"

#include "panel/dialogform.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {
// The box is laid out in dialog units of its own 8-point font.
QRect DialogRect(const QFont& font, int x, int y, int w, int h)
{
    const int bx = AverageCharWidth(font);
    const int by = QFontMetrics(font).height();
    return QRect((x * bx + 2) / 4, (y * by + 4) / 8, (w * bx + 2) / 4, (h * by + 4) / 8);
}
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Tavrin"));
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    setFont(font);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/res/tavrin.png")).pixmap(32, 32));
    icon->setGeometry(DialogRect(font, 11, 17, 20, 20));
    auto* version = new QLabel(QStringLiteral("Tavrin Version 1.0"), this);
    version->setGeometry(DialogRect(font, 40, 10, 119, 8));
    auto* remark = new QLabel(QStringLiteral("Front panel for the Harris RF-350 transceiver"), this);
    remark->setGeometry(DialogRect(font, 40, 25, 125, 8));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    ok->setGeometry(DialogRect(font, 178, 7, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(DialogRect(font, 0, 0, 235, 55).size());
}
