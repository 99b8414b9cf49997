#include "txlog/transmissionreader.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <algorithm>
#include <optional>

#include "txlog/csvrows.h"
#include "txlog/transmissioncsv.h"

namespace {

constexpr int kFirstFields = 5;  // a start cut short has no fewer
constexpr int kAllFields = 8;

// The same few names and reasons stand on thousands of lines: each is
// made a string once per file and shared.
class CRecordParser {
public:
    std::optional<TransmissionRecord> Parse(const QList<QByteArrayView>& fields);

private:
    QString Text(QByteArrayView bytes);

    QHash<QByteArray, QString> m_texts;
};

std::optional<double> Frequency(QByteArrayView text)
{
    if (text.isEmpty())
        return -1.0;
    bool ok = false;
    const double khz = text.toByteArray().toDouble(&ok);
    return ok && khz >= 0 ? std::optional<double>(khz) : std::nullopt;
}

QString CRecordParser::Text(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    const QByteArray key = QByteArray::fromRawData(bytes.data(), bytes.size());
    const auto found = m_texts.constFind(key);
    if (found != m_texts.cend())
        return *found;
    const QString text = QString::fromUtf8(bytes);
    m_texts.insert(bytes.toByteArray(), text);
    return text;
}

std::optional<TransmissionRecord> CRecordParser::Parse(const QList<QByteArrayView>& fields)
{
    if (fields.size() < kFirstFields || fields.size() > kAllFields)
        return std::nullopt;
    TransmissionRecord record;
    record.start = ParseUtc(fields[0]);
    const std::optional<double> khz = Frequency(fields[1]);
    if (!record.start.isValid() || !khz)
        return std::nullopt;
    record.frequencyKhz = *khz;
    record.mode = Text(fields[2]);
    record.who = Text(fields[3]);
    record.began = Text(fields[4]);
    if (fields.size() > 5)
        record.end = ParseUtc(fields[5]);
    if (fields.size() > 7)
        record.ended = Text(fields[7]);
    return record;
}

// The files of the months from since to until, newest first.
QStringList FilesOfMonths(const QString& folder, QDate since, QDate until)
{
    const QDate firstMonth = since.isValid() ? QDate(since.year(), since.month(), 1) : QDate();
    QStringList names;
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    for (const QString& name : dir.entryList({QStringLiteral("transmissions-*.csv")}, QDir::Files)) {
        const QDate month = MonthOfTransmissionsFile(name);
        if (month.isValid() && (!firstMonth.isValid() || month >= firstMonth) && (!until.isValid() || month <= until))
            names << dir.filePath(name);
    }
    std::sort(names.begin(), names.end(), std::greater<QString>());
    return names;
}

void ReadFileNewestFirst(const QString& path, QList<TransmissionRecord>& records)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = file.readAll();
    CRecordParser parser;
    CCsvRows rows(text);
    const qsizetype first = records.size();
    while (rows.Next())
        if (std::optional<TransmissionRecord> record = parser.Parse(rows.Fields()))
            records << std::move(*record);
    std::reverse(records.begin() + first, records.end());
}

} // namespace

QList<TransmissionRecord> ReadTransmissions(const QString& folder, QDate since, QDate until)
{
    QList<TransmissionRecord> records;
    for (const QString& path : FilesOfMonths(folder, since, until))
        ReadFileNewestFirst(path, records);
    // Lines are in the order they were written, so only a clock set back
    // or a hand edit leaves anything to sort.
    const auto newerFirst = [](const TransmissionRecord& a, const TransmissionRecord& b) { return a.start > b.start; };
    if (!std::is_sorted(records.begin(), records.end(), newerFirst))
        std::stable_sort(records.begin(), records.end(), newerFirst);
    return records;
}
