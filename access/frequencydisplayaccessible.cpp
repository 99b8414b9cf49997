#include "access/frequencydisplayaccessible.h"

#include <QFontMetrics>
#include <QLineEdit>

namespace {

const char kValueDisplay[] = "tavrinValueDisplay";

QAccessibleInterface* DisplayFactory(const QString&, QObject* object)
{
    auto* display = qobject_cast<QLineEdit*>(object);
    if (display && display->property(kValueDisplay).toBool())
        return new CFrequencyDisplayAccessible(display);
    return nullptr;
}

// Where the display's text starts, in its own coordinates: the display
// never scrolls, its text being far shorter than its width.
int TextLeft(const QLineEdit& display, int textWidth)
{
    const QRect inner = display.contentsRect();
    if (display.alignment() & Qt::AlignHCenter)
        return inner.left() + (inner.width() - textWidth) / 2;
    if (display.alignment() & Qt::AlignRight)
        return inner.right() - textWidth;
    return inner.left();
}

} // namespace

CFrequencyDisplayAccessible::CFrequencyDisplayAccessible(QLineEdit* display)
    : QAccessibleWidget(display, QAccessible::EditableText)
{
}

// A screen reader that arrived before the panel was made accessible may
// already hold Qt's own interface for the display; it is dropped, and the
// next look-up makes this one.
void CFrequencyDisplayAccessible::Install(QLineEdit* display)
{
    QAccessible::installFactory(DisplayFactory);
    display->setProperty(kValueDisplay, true);
    QAccessibleInterface* held = QAccessible::queryAccessibleInterface(display);
    if (held && !dynamic_cast<CFrequencyDisplayAccessible*>(held))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(held));
}

QLineEdit* CFrequencyDisplayAccessible::Display() const { return static_cast<QLineEdit*>(widget()); }

QAccessible::State CFrequencyDisplayAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.selectableText = true;
    return state;
}

QString CFrequencyDisplayAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return Display()->text();
    return QAccessibleWidget::text(t);
}

void* CFrequencyDisplayAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

void CFrequencyDisplayAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !Display()->hasSelectedText())
        return;
    *startOffset = Display()->selectionStart();
    *endOffset = Display()->selectionEnd();
}

int CFrequencyDisplayAccessible::selectionCount() const { return Display()->hasSelectedText() ? 1 : 0; }

void CFrequencyDisplayAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void CFrequencyDisplayAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        Display()->deselect();
}

void CFrequencyDisplayAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        Display()->setSelection(startOffset, endOffset - startOffset);
}

int CFrequencyDisplayAccessible::cursorPosition() const { return Display()->cursorPosition(); }

void CFrequencyDisplayAccessible::setCursorPosition(int position) { Display()->setCursorPosition(position); }

QString CFrequencyDisplayAccessible::text(int startOffset, int endOffset) const
{
    if (startOffset < 0 || endOffset < startOffset)
        return QString();
    return Display()->text().mid(startOffset, endOffset - startOffset);
}

int CFrequencyDisplayAccessible::characterCount() const { return int(Display()->text().size()); }

QRect CFrequencyDisplayAccessible::characterRect(int offset) const
{
    const QString shown = Display()->text();
    if (offset < 0 || offset >= shown.size())
        return QRect();
    const QFontMetrics metrics(Display()->font());
    const int left = TextLeft(*Display(), metrics.horizontalAdvance(shown));
    const QRect inner = Display()->contentsRect();
    const QRect local(left + metrics.horizontalAdvance(shown.left(offset)),
                      inner.top() + (inner.height() - metrics.height()) / 2,
                      metrics.horizontalAdvance(shown.at(offset)), metrics.height());
    return QRect(Display()->mapToGlobal(local.topLeft()), local.size());
}

int CFrequencyDisplayAccessible::offsetAtPoint(const QPoint& point) const
{
    return Display()->cursorPositionAt(Display()->mapFromGlobal(point));
}

void CFrequencyDisplayAccessible::scrollToSubstring(int, int) {}

QString CFrequencyDisplayAccessible::attributes(int, int* startOffset, int* endOffset) const
{
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

QVariant CFrequencyDisplayAccessible::currentValue() const { return Display()->text().toDouble(); }

void CFrequencyDisplayAccessible::setCurrentValue(const QVariant&) {}

// The seven-digit frequency field's range and resolution.
QVariant CFrequencyDisplayAccessible::maximumValue() const { return 99999.99; }
QVariant CFrequencyDisplayAccessible::minimumValue() const { return 0.0; }
QVariant CFrequencyDisplayAccessible::minimumStepSize() const { return 0.01; }
