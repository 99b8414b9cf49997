#pragma once
// The Transmissions window: the transmission record as a table, narrowed
// by dates and by who keyed, the time on air per day, and an export of
// what it shows.
#include <QDate>
#include <QList>
#include <QWidget>

#include "txlog/transmissionrecord.h"

class CTransmissionsModel;
class QComboBox;
class QDateEdit;
class QLabel;
class QMenu;
class QTableView;
class QTableWidget;

class CTransmissionsWindow : public QWidget {
    Q_OBJECT
public:
    // Shows from the dates given, or the last year.
    CTransmissionsWindow(const QString& folder, QWidget* owner, QDate from = QDate(), QDate to = QDate());

    QTableView* Table() const { return m_table; }
    QTableWidget* DayTotals() const { return m_days; }
    QDateEdit* From() const { return m_from; }
    QDateEdit* To() const { return m_to; }
    QComboBox* Who() const { return m_who; }
    const QList<TransmissionRecord>& Shown() const;

    // Reads the files again.
    void Refresh();
    // The rows shown, oldest first, as the files hold them; false, and the
    // window says why, when the file could not be written.
    bool Export(const QString& path);

private:
    QWidget* BuildFilters();
    QWidget* BuildButtons();
    void BuildTable();
    void BuildDayTotals();
    void Load();
    void FillWho();
    void ShowFiltered();
    void ShowDayTotals();
    void OnExport();

    const QString m_folder;
    QList<TransmissionRecord> m_loaded;  // the months the dates reach into
    QDate m_loadedFrom;
    QDate m_loadedTo;
    CTransmissionsModel* m_model;
    QTableView* m_table;
    QTableWidget* m_days;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QComboBox* m_who;
    QLabel* m_status;
};

// Adds Transmissions... to the menu; it opens the one window, or raises it.
void AttachTransmissionsWindow(QMenu* radioMenu, QWidget* parent, const QString& folder = QString());
