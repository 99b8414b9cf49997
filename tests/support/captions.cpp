#include "support/captions.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>

#include "panel/captionfit.h"

namespace {

QStyleOptionButton ButtonOption(const QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return option;
}

QStyleOptionGroupBox GroupBoxOption(const QGroupBox* box)
{
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = box->alignment();
    option.lineWidth = 1;
    return option;
}

// Room and alignment in the control's own coordinates.
QRect LocalRoom(const QWidget* control, Qt::Alignment* alignment)
{
    *alignment = Qt::AlignLeft | Qt::AlignVCenter;
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        *alignment = label->alignment();
        return label->contentsRect();
    }
    if (auto* box = qobject_cast<const QGroupBox*>(control)) {
        const QStyleOptionGroupBox option = GroupBoxOption(box);
        return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        const QStyleOptionButton option = ButtonOption(button);
        if (qobject_cast<const QPushButton*>(button))
            *alignment = Qt::AlignCenter;
        return button->style()->subElementRect(CaptionContents(button), &option, button);
    }
    return QRect();
}

} // namespace

QString CaptionOf(const QWidget* control)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* box = qobject_cast<const QGroupBox*>(control))
        return box->title();
    return QString();
}

QRect CaptionRoom(const QWidget* control)
{
    Qt::Alignment alignment;
    return LocalRoom(control, &alignment).translated(control->pos());
}

QRect CaptionTextRect(const QWidget* control)
{
    const QString caption = CaptionOf(control);
    if (caption.isEmpty())
        return QRect();
    Qt::Alignment alignment;
    const QRect room = LocalRoom(control, &alignment);
    // As wide as the text takes whole pixels, as tall as a line of the font.
    const QSize size(control->fontMetrics().size(Qt::TextShowMnemonic, caption).width(), control->fontMetrics().height());
    return QStyle::alignedRect(Qt::LeftToRight, alignment, size, room).translated(control->pos());
}

QRect CaptionInkRect(const QWidget* control)
{
    const QRect line = CaptionTextRect(control);
    if (line.isNull())
        return QRect();
    const QFontMetrics metrics = control->fontMetrics();
    return metrics.tightBoundingRect(CaptionOf(control)).translated(line.left(), line.top() + metrics.ascent());
}

std::vector<QRect> InkRects(const QWidget* control)
{
    if (control->isHidden())
        return {};
    if (qobject_cast<const QAbstractButton*>(control) && !qobject_cast<const QPushButton*>(control))
        return {CaptionInkRect(control)};
    if (qobject_cast<const QLabel*>(control) || qobject_cast<const QGroupBox*>(control))
        return {CaptionInkRect(control)};
    return {control->geometry()};
}
