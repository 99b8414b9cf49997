#include "panel/captionfit.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <algorithm>

QStyle::SubElement CaptionContents(const QAbstractButton* button)
{
    if (qobject_cast<const QRadioButton*>(button))
        return QStyle::SE_RadioButtonContents;
    if (qobject_cast<const QCheckBox*>(button))
        return QStyle::SE_CheckBoxContents;
    return QStyle::SE_PushButtonContents;
}

namespace {

// What the style keeps of a button's width for itself, measured on a button
// far wider than any caption.
int ButtonDecoration(const QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.rect = QRect(0, 0, 1000, 2 * button->fontMetrics().height());
    const QRect contents = button->style()->subElementRect(CaptionContents(button), &option, button);
    return option.rect.width() - contents.width();
}

bool SharesRows(const FormControl& a, const FormControl& b) { return a.y < b.y + b.h && b.y < a.y + a.h; }

bool Encloses(const FormControl& frame, const FormControl& c)
{
    return frame.kind == ControlKind::GroupBox && frame.x <= c.x && c.x + c.w <= frame.x + frame.w;
}

// Whole pixels: a glyph's fraction of a pixel still needs the pixel.
int TextWidth(const QWidget* control, const QString& text)
{
    return control->fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

} // namespace

int CaptionWidthNeeded(const QWidget* control)
{
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->text().isEmpty())
            return 0;
        const QMargins margins = label->contentsMargins();
        return TextWidth(label, label->text()) + margins.left() + margins.right()
               + 2 * label->margin();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        if (button->text().isEmpty())
            return 0;
        return ButtonDecoration(button) + TextWidth(button, button->text());
    }
    return 0;
}

bool CaptionMayWiden(ControlKind kind)
{
    return kind == ControlKind::StaticText || kind == ControlKind::RadioButton || kind == ControlKind::CheckBox;
}

int FreeWidthToTheRight(const FormTemplate& form, int index)
{
    const FormControl& control = form.controls[index];
    int limit = form.width;
    for (int i = 0; i < form.count; ++i) {
        const FormControl& other = form.controls[i];
        if (i == index || other.kind == ControlKind::HostedControl || !SharesRows(control, other))
            continue;
        if (Encloses(other, control))
            limit = std::min(limit, other.x + other.w);
        else if (other.x >= control.x + control.w)
            limit = std::min(limit, other.x);
    }
    return std::max(control.w, limit - control.x);
}
