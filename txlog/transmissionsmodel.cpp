#include "txlog/transmissionsmodel.h"

namespace {

QString TimeShown(const QDateTime& time) { return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

// An end missing from the file: still on air, or lost with the program.
QString EndShown(const TransmissionRecord& record)
{
    if (record.end.isValid())
        return TimeShown(record.end);
    return record.ended.isEmpty() ? QStringLiteral("on air") : QStringLiteral("unknown");
}

QString CellText(const TransmissionRecord& record, int column)
{
    switch (column) {
    case CTransmissionsModel::Start: return TimeShown(record.start);
    case CTransmissionsModel::End: return EndShown(record);
    case CTransmissionsModel::Duration: return DurationShown(record.DurationMs());
    case CTransmissionsModel::Frequency:
        return record.frequencyKhz < 0 ? QString() : QString::number(record.frequencyKhz, 'f', 2);
    case CTransmissionsModel::Mode: return record.mode;
    case CTransmissionsModel::Who: return record.who;
    case CTransmissionsModel::Began: return record.began;
    case CTransmissionsModel::Ended: return record.ended;
    }
    return QString();
}

} // namespace

QString DurationShown(qint64 ms)
{
    if (ms < 0)
        return QString();
    if (ms < 60000)
        return QStringLiteral("%1 s").arg(ms / 1000.0, 0, 'f', 1);
    const qint64 seconds = ms / 1000;
    const QString minutesSeconds = QStringLiteral("%1:%2").arg(seconds / 60 % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return minutesSeconds;
    return QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutesSeconds.rightJustified(5, QLatin1Char('0')));
}

void CTransmissionsModel::SetRecords(QList<TransmissionRecord> newestFirst)
{
    beginResetModel();
    m_records = std::move(newestFirst);
    endResetModel();
}

int CTransmissionsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int CTransmissionsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant CTransmissionsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_records.size())
        return QVariant();
    // The tip shows a text too long for its column whole.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return CellText(m_records[index.row()], index.column());
    if (role == Qt::TextAlignmentRole && (index.column() == Duration || index.column() == Frequency))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant CTransmissionsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const captions[] = {"Start (UTC)", "End (UTC)", "Duration", "kHz",
                                           "Mode", "Who", "Began", "Ended"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QLatin1String(captions[section]);
}
