#include "processcpu.h"

#include <QDir>
#include <QFile>

qint64 ProcessCpuNanoseconds(qint64 pid)
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    qint64 total = 0;
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks + QLatin1Char('/') + task + QStringLiteral("/schedstat"));
        if (schedstat.open(QIODevice::ReadOnly))
            total += schedstat.readLine().split(' ').value(0).toLongLong();
    }
    return total;
}
