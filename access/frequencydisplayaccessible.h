#pragma once
// The frequency display as assistive technology sees it: read-only text,
// and a value. Orca speaks a change of the focused object's value whatever
// caused it, but text that changes without a key or click of the user's
// only goes to braille; the value is what lets a listener who stays on the
// display hear the radio move.
#include <QAccessibleWidget>

class QLineEdit;

class CFrequencyDisplayAccessible : public QAccessibleWidget,
                                    public QAccessibleTextInterface,
                                    public QAccessibleValueInterface {
public:
    explicit CFrequencyDisplayAccessible(QLineEdit* display);

    // Makes `display` answer with this interface from now on, even if Qt
    // already gave it its own.
    static void Install(QLineEdit* display);

    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // Text, read-only: selection and caret, nothing that edits.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // Value, in kHz; only the radio sets it.
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    QLineEdit* Display() const;
};
