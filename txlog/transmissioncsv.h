#pragma once
// The text of the monthly record files: which file a time belongs in, and
// a record's fields as they are written and read back.
#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>

#include "txlog/transmissionrecord.h"

extern const char kTransmissionsHeader[];  // with its CR LF
extern const char kAccessHeader[];

// "transmissions-2026-12.csv", by the UTC month of the time.
QString TransmissionsFileName(const QDateTime& time);
QString AccessFileName(const QDateTime& time);
// The first day of the month a transmissions file name stands for; an
// invalid date for any other name.
QDate MonthOfTransmissionsFile(const QString& name);

// 2026-12-08T14:02:03.456Z; empty for an invalid time.
QString UtcText(const QDateTime& time);
// That form, or another ISO 8601 one a hand edit left; invalid if none.
QDateTime ParseUtc(QByteArrayView text);

// The five fields known when a transmission begins and the comma after
// them: the part of the line written at once.
QByteArray StartText(const TransmissionRecord& record);
// The rest of the line, with its CR LF.
QByteArray EndText(const TransmissionRecord& record);
// The eight fields as the line writes them, before CSV quoting.
QList<QString> TransmissionFieldTexts(const TransmissionRecord& record);
// The whole line; a record still on air has its last three fields empty.
QByteArray RecordText(const TransmissionRecord& record);

// The header and the records oldest first, as the files hold them.
QByteArray TransmissionsCsv(const QList<TransmissionRecord>& newestFirst);
