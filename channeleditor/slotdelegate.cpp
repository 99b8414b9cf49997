#include "channeleditor/slotdelegate.h"

#include <QComboBox>

#include "channeleditor/slotfields.h"

namespace {
bool IsLetterColumn(const QModelIndex& index)
{
    const SlotColumn column = ColumnAt(index.column());
    return column == SlotColumn::Mode || column == SlotColumn::Agc || column == SlotColumn::Input
        || column == SlotColumn::Route;
}
} // namespace

// The list offers no letter, the names, and a letter of no meaning the slot
// already holds, so opening the list and leaving it changes nothing.
QWidget* CSlotDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = nullptr;
    if (IsLetterColumn(index)) {
        auto* letters = new QComboBox(parent);
        letters->addItem(QString());
        letters->addItems(LetterNames(ColumnAt(index.column())));
        const QString current = index.data(Qt::EditRole).toString();
        if (letters->findText(current) < 0)
            letters->addItem(current);
        editor = letters;
    } else {
        editor = QStyledItemDelegate::createEditor(parent, option, index);
    }
    editor->setAccessibleName(ColumnCaption(ColumnAt(index.column())));
    return editor;
}

void CSlotDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* letters = qobject_cast<QComboBox*>(editor))
        letters->setCurrentIndex(letters->findText(index.data(Qt::EditRole).toString()));
    else
        QStyledItemDelegate::setEditorData(editor, index);
}

void CSlotDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* letters = qobject_cast<QComboBox*>(editor))
        model->setData(index, letters->currentText(), Qt::EditRole);
    else
        QStyledItemDelegate::setModelData(editor, model, index);
}
