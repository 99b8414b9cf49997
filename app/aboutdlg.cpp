#include "app/aboutdlg.h"

#include "panel/dialogform.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Tavrin"));
    // Laid out in dialog units of its own 8-point font.
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    setFont(font);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/res/tavrin.png")).pixmap(32, 32));
    icon->setGeometry(MapDialogRect(font, QRect(11, 17, 20, 20)));
    auto* version = new QLabel(QStringLiteral("Tavrin Version " TAVRIN_VERSION), this);
    version->setGeometry(MapDialogRect(font, QRect(40, 10, 119, 8)));
    auto* remark = new QLabel(QStringLiteral("Front panel for the Harris RF-350 transceiver"), this);
    remark->setGeometry(MapDialogRect(font, QRect(40, 25, 125, 8)));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    ok->setGeometry(MapDialogRect(font, QRect(178, 7, 50, 14)));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(MapDialogRect(font, QRect(0, 0, 235, 55)).size());
}
