#pragma once
// The editors of the Channels window's cells: a list of names for a letter
// column, a line for the frequency and the description. What is typed is
// checked by the model, which refuses with a reason rather than cut or change it.
#include <QStyledItemDelegate>

class CSlotDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};
