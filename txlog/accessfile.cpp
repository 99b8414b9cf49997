#include "txlog/accessfile.h"

#include "channeleditor/csvtext.h"
#include "txlog/transmissioncsv.h"

CAccessFile::CAccessFile(const QString& folder, QObject* parent)
    : CRecordFile(folder, kAccessHeader, QStringLiteral("the access record"), parent)
{
}

void CAccessFile::Record(const QString& event, const QString& address, const QString& name)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QStringList fields = {UtcText(now), event, address, name};
    Append(AccessFileName(now), CsvRecordText(fields));
    emit Written(fields);
}
