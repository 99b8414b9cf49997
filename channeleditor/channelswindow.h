#pragma once
// The Channels window: the 300 slots as a table to read, edit, filter,
// copy, import and export, recall from, and save.
#include <QWidget>

class CChannelSeam;
class CChannelSlotsModel;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QModelIndex;
class QSortFilterProxyModel;
class QTableView;

class CChannelsWindow : public QWidget {
    Q_OBJECT
public:
    CChannelsWindow(CChannelSlotsModel& model, CChannelSeam& seam, QWidget* owner);

    QTableView* Table() const { return m_table; }
    QString Status() const;

    // Unsaved edits are asked about: saved, dropped, or kept with the
    // window open, in which case the result is false.
    bool AskAboutEdits();

    // The row operations, on the selected slots.
    void Recall(int slot);
    // What the radio reports now into the current slot, its description
    // kept: one step to undo, and still to be saved.
    void StoreCurrent();
    bool Save();
    void Import(const QString& path);
    void Export(const QString& path, bool allSlots);
    void Copy();
    void Cut();
    void Paste();
    void Clear();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildTable();
    QWidget* BuildFilter();
    QWidget* BuildButtons();
    void BuildMenus(QMenuBar* bar);
    void BuildFileMenu(QMenu* file);
    void BuildEditMenu(QMenu* edit);
    void Say(const QString& text);
    void OnActivated(const QModelIndex& index);
    void OnImport();
    void TellImportRefused(const QString& text, const QStringList& problems);
    void OnExport(bool allSlots);
    QList<int> CopySelected();
    QList<int> SelectedSlots() const;
    void ShowEdited();

    CChannelSlotsModel& m_model;
    CChannelSeam& m_seam;
    QSortFilterProxyModel* m_filtered;
    QTableView* m_table;
    QLineEdit* m_filter = nullptr;
    QLabel* m_status;
};
