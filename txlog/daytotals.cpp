#include "txlog/daytotals.h"

QMap<QDate, qint64> OnAirPerDay(const QList<TransmissionRecord>& records)
{
    QMap<QDate, qint64> totals;
    for (const TransmissionRecord& record : records) {
        if (record.DurationMs() <= 0)
            continue;
        QDateTime from = record.start;
        while (from < record.end) {
            const QDateTime midnight(from.date().addDays(1), QTime(0, 0), Qt::UTC);
            const QDateTime until = std::min(midnight, record.end);
            totals[from.date()] += from.msecsTo(until);
            from = until;
        }
    }
    return totals;
}
