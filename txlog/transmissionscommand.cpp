#include "txlog/transmissionscommand.h"

#include <cstdio>

#include "channeleditor/csvfile.h"
#include "txlog/transmissioncsv.h"
#include "txlog/transmissionreader.h"

int RunTransmissionsCommand(const TransmissionsCommandLine& command)
{
    QList<TransmissionRecord> records = ReadTransmissions(QString(), command.since, command.until);
    records.removeIf([&](const TransmissionRecord& record) { return !StartsWithin(record, command.since, command.until); });
    QString why;
    if (WriteCsvFile(QStringLiteral("-"), TransmissionsCsv(records), why))
        return 0;
    std::fprintf(stderr, "tavrin: %s\n", qPrintable(why));
    return 1;
}
