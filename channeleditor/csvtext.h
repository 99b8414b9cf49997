#pragma once
// Comma-separated values as RFC 4180 has them, in UTF-8: fields split by
// commas, records by line ends (CR LF, or LF alone), a field in double
// quotes may hold commas, quotes written twice and line ends. A text whose
// first line is split by semicolons or tabs, as spreadsheets save in many
// languages, is split by those instead.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct CsvRecord {
    int line = 0;  // the line the record starts on, counting from 1
    QStringList fields;
};

struct CsvText {
    QList<CsvRecord> records;  // blank lines are no records
    int problemLine = 0;       // 0: the whole text was read
    QString problem;
};

// A byte order mark at the start is passed over, as spreadsheets write one.
CsvText ReadCsv(const QByteArray& utf8);

// One record and its CR LF. A field is quoted when it must be, and when it
// starts or ends in a blank, so no program trims it.
QByteArray CsvRecordText(const QStringList& fields);

// The fields of CsvRecordText without the line end, for a record that is
// written in parts.
QByteArray CsvFieldsText(const QStringList& fields);
