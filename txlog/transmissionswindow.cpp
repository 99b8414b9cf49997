#include "txlog/transmissionswindow.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "channeleditor/csvfile.h"
#include "txlog/daytotals.h"
#include "txlog/transmissioncsv.h"
#include "txlog/transmissionreader.h"
#include "txlog/transmissionsmodel.h"

namespace {

QDate TodayUtc() { return QDateTime::currentDateTimeUtc().date(); }
QDate FirstOfMonth(QDate day) { return QDate(day.year(), day.month(), 1); }
QDate LastOfMonth(QDate day) { return FirstOfMonth(day).addMonths(1).addDays(-1); }

QString Transmissions(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 transmission") : QStringLiteral("%1 transmissions").arg(count);
}

QDateEdit* DateEdit(QDate date, const QString& accessibleName, QWidget* parent)
{
    auto* edit = new QDateEdit(date, parent);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setAccessibleName(accessibleName);
    return edit;
}

// Wide enough for the longest text a column shows, and its caption.
int ColumnWidth(const QFontMetrics& metrics, const QString& caption, int column)
{
    const char* widest[] = {"2026-12-08 14:02:03", "2026-12-08 14:02:03", "1:02:03", "29999.99", "USB",
                            "station program 127.0.0.1:40512", "rig-control T", "the radio reported receive"};
    return std::max(metrics.horizontalAdvance(QLatin1String(widest[column])), metrics.horizontalAdvance(caption))
         + 3 * metrics.averageCharWidth();
}

} // namespace

CTransmissionsWindow::CTransmissionsWindow(const QString& folder, QWidget* owner, QDate from, QDate to)
    : QWidget(owner, Qt::Window), m_folder(folder), m_model(new CTransmissionsModel(this)),
      m_table(new QTableView(this)), m_days(new QTableWidget(this)), m_status(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Transmissions"));
    setObjectName(QStringLiteral("transmissionsWindow"));
    const QDate until = to.isValid() ? to : TodayUtc();
    m_from = DateEdit(from.isValid() ? from : until.addYears(-1).addDays(1), QStringLiteral("From date, UTC"), this);
    m_to = DateEdit(until, QStringLiteral("To date, UTC"), this);
    m_who = new QComboBox(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildFilters());
    BuildTable();
    BuildDayTotals();
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(m_table);
    split->addWidget(m_days);
    split->setStretchFactor(0, 1);
    layout->addWidget(split, 1);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setAccessibleName(QStringLiteral("Transmissions window status"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    layout->addWidget(BuildButtons());
    Refresh();
    connect(m_from, &QDateEdit::dateChanged, this, &CTransmissionsWindow::ShowFiltered);
    connect(m_to, &QDateEdit::dateChanged, this, &CTransmissionsWindow::ShowFiltered);
    connect(m_who, &QComboBox::currentIndexChanged, this, &CTransmissionsWindow::ShowFiltered);
    resize(m_table->horizontalHeader()->length() + m_days->minimumWidth() + 100, 560);
}

QWidget* CTransmissionsWindow::BuildFilters()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const std::pair<const char*, QWidget*> fields[] = {{"&From:", m_from}, {"&To:", m_to}, {"&Who:", m_who}};
    for (const auto& [caption, field] : fields) {
        auto* label = new QLabel(QLatin1String(caption), row);
        label->setBuddy(field);
        layout->addWidget(label);
        layout->addWidget(field);
    }
    m_who->setObjectName(QStringLiteral("who"));
    m_who->setAccessibleName(QStringLiteral("Who keyed"));
    m_who->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    layout->addStretch(1);
    return row;
}

void CTransmissionsWindow::BuildTable()
{
    m_table->setObjectName(QStringLiteral("transmissions"));
    m_table->setAccessibleName(QStringLiteral("Transmissions"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->setWordWrap(false);
    // Fixed sizes: measuring 73,000 rows would take longer than reading them.
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    for (int column = 0; column < CTransmissionsModel::ColumnCount; ++column)
        m_table->setColumnWidth(column, ColumnWidth(m_table->fontMetrics(),
                                                    m_model->headerData(column, Qt::Horizontal).toString(), column));
    m_table->horizontalHeader()->setStretchLastSection(true);
}

void CTransmissionsWindow::BuildDayTotals()
{
    m_days->setObjectName(QStringLiteral("dayTotals"));
    m_days->setAccessibleName(QStringLiteral("Time on air per day"));
    m_days->setColumnCount(3);
    m_days->setHorizontalHeaderLabels({QStringLiteral("Day (UTC)"), QStringLiteral("On air"), QStringLiteral("Count")});
    m_days->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_days->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_days->setTabKeyNavigation(false);
    m_days->verticalHeader()->hide();
    m_days->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_days->verticalHeader()->setDefaultSectionSize(m_days->fontMetrics().height() + 6);
    const QFontMetrics metrics = m_days->fontMetrics();
    const char* widest[] = {"2026-12-08", "23:59:59", "Count"};
    for (int column = 0; column < 3; ++column)
        m_days->setColumnWidth(column, metrics.horizontalAdvance(QLatin1String(widest[column])) + 3 * metrics.averageCharWidth());
    // All three columns in sight beside a scroll bar, however the window is split.
    m_days->setMinimumWidth(m_days->horizontalHeader()->length() + style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                            + 2 * m_days->frameWidth() + 4);
    m_days->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_days->horizontalHeader()->setStretchLastSection(true);
}

QWidget* CTransmissionsWindow::BuildButtons()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* refresh = new QPushButton(QStringLiteral("&Refresh"), row);
    auto* exportShown = new QPushButton(QStringLiteral("E&xport..."), row);
    exportShown->setToolTip(QStringLiteral("Writes the rows shown to a CSV file"));
    auto* close = new QPushButton(QStringLiteral("Close"), row);
    for (QPushButton* button : {refresh, exportShown, close})
        button->setAutoDefault(false);
    layout->addWidget(refresh);
    layout->addWidget(exportShown);
    layout->addStretch(1);
    layout->addWidget(close);
    connect(refresh, &QPushButton::clicked, this, &CTransmissionsWindow::Refresh);
    connect(exportShown, &QPushButton::clicked, this, &CTransmissionsWindow::OnExport);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    return row;
}

const QList<TransmissionRecord>& CTransmissionsWindow::Shown() const { return m_model->Records(); }

void CTransmissionsWindow::Refresh()
{
    Load();
    ShowFiltered();
}

// Whole months are read, so dates moved within them read nothing again.
void CTransmissionsWindow::Load()
{
    m_loadedFrom = FirstOfMonth(std::min(m_from->date(), m_to->date()));
    m_loadedTo = LastOfMonth(std::max(m_from->date(), m_to->date()));
    m_loaded = ReadTransmissions(m_folder, m_loadedFrom, m_loadedTo);
    FillWho();
}

// "Everyone" is the item without data, so a station named so is no trouble.
void CTransmissionsWindow::FillWho()
{
    QSet<QString> distinct;
    for (const TransmissionRecord& record : std::as_const(m_loaded))
        distinct.insert(record.who);
    QStringList names(distinct.cbegin(), distinct.cend());
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    const QVariant chosen = m_who->currentData();
    const QSignalBlocker quiet(m_who);
    m_who->clear();
    m_who->addItem(QStringLiteral("Everyone"));
    for (const QString& name : std::as_const(names))
        m_who->addItem(name.isEmpty() ? QStringLiteral("(nobody named)") : name, name);
    m_who->setCurrentIndex(std::max(0, m_who->findData(chosen)));
}

void CTransmissionsWindow::ShowFiltered()
{
    const QDate from = m_from->date();
    const QDate to = m_to->date();
    if (from < m_loadedFrom || to > m_loadedTo)
        Load();
    const QVariant who = m_who->currentData();
    QList<TransmissionRecord> shown;
    for (const TransmissionRecord& record : std::as_const(m_loaded))
        if (StartsWithin(record, from, to) && (!who.isValid() || record.who == who.toString()))
            shown << record;
    m_model->SetRecords(std::move(shown));
    ShowDayTotals();
}

void CTransmissionsWindow::ShowDayTotals()
{
    const QMap<QDate, qint64> totals = OnAirPerDay(Shown());
    QMap<QDate, int> counts;
    for (const TransmissionRecord& record : Shown())
        ++counts[record.start.date()];
    QList<QDate> days = totals.keys() + counts.keys();
    std::sort(days.begin(), days.end(), std::greater<QDate>());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    m_days->setRowCount(int(days.size()));
    qint64 all = 0;
    for (int row = 0; row < days.size(); ++row) {
        const QDate day = days[row];
        all += totals.value(day);
        m_days->setItem(row, 0, new QTableWidgetItem(day.toString(Qt::ISODate)));
        m_days->setItem(row, 1, new QTableWidgetItem(DurationShown(totals.value(day))));
        m_days->setItem(row, 2, new QTableWidgetItem(QString::number(counts.value(day))));
        m_days->item(row, 1)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_days->item(row, 2)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    m_status->setText(QStringLiteral("%1 shown, %2 on air.").arg(Transmissions(Shown().size()), DurationShown(all)));
}

bool CTransmissionsWindow::Export(const QString& path)
{
    QString why;
    if (!WriteCsvFile(path, TransmissionsCsv(Shown()), why)) {
        m_status->setText(QStringLiteral("Nothing was exported: %1").arg(why));
        return false;
    }
    m_status->setText(QStringLiteral("Exported %1 to %2.").arg(Transmissions(Shown().size()), path));
    return true;
}

void CTransmissionsWindow::OnExport()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Transmissions"),
                                                      QStringLiteral("transmissions.csv"),
                                                      QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty() && !Export(path))
        QMessageBox::warning(this, QStringLiteral("Export Transmissions"), m_status->text());
}

void AttachTransmissionsWindow(QMenu* radioMenu, QWidget* parent, const QString& folder)
{
    QAction* open = radioMenu->addAction(QStringLiteral("Transmissions..."));
    open->setObjectName(QStringLiteral("openTransmissions"));
    auto window = std::make_shared<QPointer<CTransmissionsWindow>>();
    QObject::connect(open, &QAction::triggered, open, [window, parent, folder] {
        if (*window) {
            (*window)->Refresh();
        } else {
            *window = new CTransmissionsWindow(folder, parent);
            (*window)->setAttribute(Qt::WA_DeleteOnClose);
        }
        (*window)->show();
        (*window)->raise();
        (*window)->activateWindow();
    });
}
