#pragma once
// Reading and writing the CSV files channel lists travel in; "-" stands
// for standard input or output, as scripts expect.
#include <QByteArray>
#include <QString>
#include <optional>

// The whole file, or nothing with why set. A file far larger than any
// channel list could be is refused before it is read.
std::optional<QByteArray> ReadCsvFile(const QString& path, QString& why);

// Replaces the file in one step, so a failed write leaves the old one.
bool WriteCsvFile(const QString& path, const QByteArray& bytes, QString& why);
