#include "panel/combocontrols.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QWheelEvent>
#include <algorithm>

namespace {
constexpr int kItemBytesRole = Qt::UserRole + 1;
}

QString DisplayedItemText(const CString& text)
{
    CString shown = text.left(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0'));
    while (shown.endsWith('\n') || shown.endsWith('\r'))
        shown.chop(1);
    return ToWidgetText(shown);
}

DropDownCombo::DropDownCombo(QWidget* parent) : QComboBox(parent), m_popup(view()->parentWidget())
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The list is closed by hidePopup, but also by Qt itself (the application
    // deactivated, a click elsewhere) without it: its window hiding is the one
    // sign common to every way.
    m_popup->installEventFilter(this);
    connect(this, &QComboBox::activated, this, &DropDownCombo::OnActivated);
}

bool DropDownCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_popup && event->type() == QEvent::Hide)
        QueueCloseUp();
    return QComboBox::eventFilter(watched, event);
}

// A choice in the open list is followed, or preceded, by the list closing,
// which already stands for it.
void DropDownCombo::OnActivated()
{
    if (!m_popup->isVisible())
        QueueCloseUp();
}

// The list hides before the chosen item becomes the selection, so the
// notification is queued: by the time it runs, the choice is in place. What
// arrives before it runs is the same close-up.
void DropDownCombo::QueueCloseUp()
{
    if (m_closeUpQueued)
        return;
    m_closeUpQueued = true;
    QMetaObject::invokeMethod(this, [this] {
        m_closeUpQueued = false;
        emit closedUp();
    }, Qt::QueuedConnection);
}

void DropDownCombo::wheelEvent(QWheelEvent* event) { event->ignore(); }

void DropDownCombo::SetCurSel(int index)
{
    setCurrentIndex(index < count() ? index : -1);
}

void DropDownCombo::InsertString(int index, const CString& text)
{
    insertItem(index < 0 ? count() : index, ToWidgetText(text));
}

SimpleCombo::SimpleCombo(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_list(new QListWidget(this))
{
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true); // 300 items of one height: keep layout cheap
    m_list->addItem(QStringLiteral("0"));
    m_rowHeight = std::max(1, m_list->sizeHintForRow(0));
    m_list->clear();
    setFocusProxy(m_edit);
    connect(m_list, &QListWidget::currentRowChanged, this, &SimpleCombo::OnRowChanged);
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { OnRowChanged(m_list->row(item)); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &SimpleCombo::OnRowDoubleClicked);
}

void SimpleCombo::resizeEvent(QResizeEvent*)
{
    const int editHeight = m_edit->sizeHint().height();
    m_edit->setGeometry(0, 0, width(), editHeight);
    m_list->setGeometry(0, editHeight, width(), qMax(0, height() - editHeight));
}

// As a list box does unless told otherwise: no half line at the bottom, and
// the control ends after its last whole line instead of over what lies below.
int SimpleCombo::HeightForWholeItems(int height) const
{
    const int fixed = m_edit->sizeHint().height() + 2 * m_list->frameWidth();
    const int rows = std::max(1, (height - fixed) / m_rowHeight);
    return std::min(height, fixed + rows * m_rowHeight);
}

int SimpleCombo::Count() const { return m_list->count(); }

void SimpleCombo::SetCurSel(int index)
{
    const QScopedValueRollback<bool> quiet(m_updating, true);
    if (index < 0 || index >= Count()) {
        m_curSel = -1;
        m_list->clearSelection();
        m_edit->clear();
        return;
    }
    m_curSel = index;
    m_list->setCurrentRow(index);
    m_edit->setText(DisplayedItemText(ItemText(index)));
}

void SimpleCombo::InsertString(int index, const CString& text)
{
    const QScopedValueRollback<bool> quiet(m_updating, true);
    auto* item = new QListWidgetItem(DisplayedItemText(text));
    item->setData(kItemBytesRole, text);
    const int row = index < 0 || index > Count() ? Count() : index;
    m_list->insertItem(row, item);
    if (m_curSel >= row)
        ++m_curSel;
}

void SimpleCombo::DeleteString(int index)
{
    if (index < 0 || index >= Count())
        return;
    const QScopedValueRollback<bool> quiet(m_updating, true);
    delete m_list->takeItem(index);
    if (m_curSel == index)
        m_curSel = -1;
    else if (m_curSel > index)
        --m_curSel;
}

void SimpleCombo::ResetContent()
{
    const QScopedValueRollback<bool> quiet(m_updating, true);
    m_list->clear();
    m_curSel = -1;
}

CString SimpleCombo::EditText() const { return FromWidgetText(m_edit->text()); }

CString SimpleCombo::ItemText(int index) const
{
    const QListWidgetItem* item = m_list->item(index);
    return item ? item->data(kItemBytesRole).toByteArray() : CString();
}

// The user moved through the list, by mouse or keys: the edit field shows
// the line, as selecting an item of a simple combo box does.
void SimpleCombo::OnRowChanged(int row)
{
    if (m_updating || row < 0)
        return;
    m_curSel = row;
    m_edit->setText(DisplayedItemText(ItemText(row)));
}

void SimpleCombo::OnRowDoubleClicked(QListWidgetItem* item)
{
    SetCurSel(m_list->row(item));
    emit doubleClicked();
}
