#pragma once
// How much room a control's caption needs, and how far a caption may reach
// to the right of its control before it would run into another control.
#include <QStyle>

#include "res/formtemplate.h"

class QAbstractButton;
class QWidget;

// The part of a button its style gives the caption.
QStyle::SubElement CaptionContents(const QAbstractButton* button);

// Pixels the control must be wide to show its caption whole: the text and
// what the style draws beside it (indicator, bevel). 0 without a caption.
int CaptionWidthNeeded(const QWidget* control);

// Whether a control's caption may take free space to its right: labels,
// radio buttons and check boxes, whose extra width draws nothing.
bool CaptionMayWiden(ControlKind kind);

// Dialog units from the control's left edge to the nearest control to its
// right in the same rows, or to the side of a frame around it, or to the
// form's edge; never less than the control's own width.
int FreeWidthToTheRight(const FormTemplate& form, int index);
