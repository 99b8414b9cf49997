#include "txlog/transmissionrecord.h"

#include <algorithm>

qint64 TransmissionRecord::DurationMs() const
{
    if (!start.isValid() || !end.isValid())
        return -1;
    // A clock stepped back while on air would make it negative.
    return std::max<qint64>(0, start.msecsTo(end));
}

bool StartsWithin(const TransmissionRecord& record, QDate since, QDate until)
{
    const QDate day = record.start.date();
    return (!since.isValid() || day >= since) && (!until.isValid() || day <= until);
}
