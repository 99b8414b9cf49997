#pragma once
// The two kinds of combo box the panel uses, with the few list operations the
// handlers need (select, insert, delete by index) and the notifications they
// listen to (list closed, double-click, typing in the edit field).
#include <QComboBox>
#include <QWidget>

#include "panel/cstring.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;

class ComboControl {
public:
    virtual ~ComboControl() = default;
    virtual int CurSel() const = 0;
    virtual void SetCurSel(int index) = 0;
    virtual int Count() const = 0;
    virtual void InsertString(int index, const CString& text) = 0;
    virtual void DeleteString(int index) = 0;
    virtual void ResetContent() = 0;
    virtual CString EditText() const = 0;
    virtual QLineEdit* EditField() const = 0;
};

// Drop-down combo with an edit field. Qt has no "list closed" signal, so the
// list's hiding, however it comes about, is turned into one; it fires whether
// or not the choice changed. A choice made without the list (Enter on a
// completed text, arrow keys) raises one too, so every choice reaches the
// close-up handler, once. The wheel over a closed list chooses nothing: a
// turn meant for the frequency display beside it must not retune the radio.
class DropDownCombo : public QComboBox, public ComboControl {
    Q_OBJECT
public:
    explicit DropDownCombo(QWidget* parent);

    int CurSel() const override { return currentIndex(); }
    void SetCurSel(int index) override;
    int Count() const override { return count(); }
    void InsertString(int index, const CString& text) override;
    void DeleteString(int index) override { removeItem(index); }
    void ResetContent() override { clear(); }
    CString EditText() const override { return FromWidgetText(currentText()); }
    QLineEdit* EditField() const override { return lineEdit(); }

signals:
    void closedUp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void OnActivated();
    void QueueCloseUp();

    QWidget* m_popup;
    bool m_closeUpQueued = false;
};

// A "simple" combo box: an edit field over a list that is always open. The
// items keep their full 8-bit text; the list and the edit field show it up to
// its first zero byte, as a C string would be shown.
class SimpleCombo : public QWidget, public ComboControl {
    Q_OBJECT
public:
    explicit SimpleCombo(QWidget* parent);

    int CurSel() const override { return m_curSel; }
    void SetCurSel(int index) override;
    int Count() const override;
    void InsertString(int index, const CString& text) override;
    void DeleteString(int index) override;
    void ResetContent() override;
    CString EditText() const override;
    QLineEdit* EditField() const override { return m_edit; }
    QListWidget* List() const { return m_list; }
    CString ItemText(int index) const;
    // The tallest height up to `height` that shows whole lines only.
    int HeightForWholeItems(int height) const;

signals:
    void doubleClicked();

private:
    void OnRowChanged(int row);
    void OnRowDoubleClicked(QListWidgetItem* item);
    void resizeEvent(QResizeEvent* event) override;

    QLineEdit* m_edit;
    QListWidget* m_list;
    int m_rowHeight = 0;
    int m_curSel = -1;
    bool m_updating = false;  // the program, not the user, is changing the list
};

// How an item's bytes are shown: up to the first zero byte, line end dropped.
QString DisplayedItemText(const CString& text);
