#pragma once
// Where the form's controls draw: the rectangle a caption's text takes, and
// every part of a control that another control's caption must not cover.
#include <QRect>
#include <QString>
#include <vector>

class QWidget;

// The caption a control shows: a button's, label's or frame's text; empty for
// edits, lists and the hidden control.
QString CaptionOf(const QWidget* control);

// The text of the caption as drawn, in the coordinates of the control's parent.
QRect CaptionTextRect(const QWidget* control);

// The pixels the caption's glyphs cover, in the parent's coordinates.
QRect CaptionInkRect(const QWidget* control);

// The room the control's style gives its caption, in the parent's coordinates.
QRect CaptionRoom(const QWidget* control);

// What of the control covers whatever lies under it: the glyphs of its
// caption, or the whole control when it paints all of itself (edits, lists,
// push buttons).
std::vector<QRect> InkRects(const QWidget* control);
