#include "txlog/transmissioncsv.h"

#include <QRegularExpression>
#include <algorithm>

#include "channeleditor/csvtext.h"

const char kTransmissionsHeader[] = "start_utc,frequency_khz,mode,who,began,end_utc,duration_s,ended\r\n";
const char kAccessHeader[] = "time_utc,event,address,name\r\n";

namespace {

QString MonthFileName(const char* prefix, const QDateTime& time)
{
    return QLatin1String(prefix) + time.toUTC().toString(QStringLiteral("yyyy-MM")) + QStringLiteral(".csv");
}

// Each record is one line, so a reader that goes by lines, and the check
// for an unfinished one at start-up, never meet a line end inside a field.
QString OneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString FrequencyText(double khz) { return khz < 0 ? QString() : QString::number(khz, 'f', 2); }

// Whole milliseconds as seconds, without the rounding a double would add.
QString DurationText(qint64 ms)
{
    if (ms < 0)
        return QString();
    return QStringLiteral("%1.%2").arg(ms / 1000).arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

int Digits(QByteArrayView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The form this program writes, read without the general parser: a year's
// records hold 146,000 times.
QDateTime ParseWrittenForm(QByteArrayView t)
{
    if (t.size() != 24 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':' || t[19] != '.'
        || t[23] != 'Z')
        return QDateTime();
    const int numbers[] = {Digits(t, 0, 4), Digits(t, 5, 2), Digits(t, 8, 2), Digits(t, 11, 2),
                           Digits(t, 14, 2), Digits(t, 17, 2), Digits(t, 20, 3)};
    if (std::any_of(std::begin(numbers), std::end(numbers), [](int n) { return n < 0; }))
        return QDateTime();
    const QDate date(numbers[0], numbers[1], numbers[2]);
    const QTime time(numbers[3], numbers[4], numbers[5], numbers[6]);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

QString TransmissionsFileName(const QDateTime& time) { return MonthFileName("transmissions-", time); }

QString AccessFileName(const QDateTime& time) { return MonthFileName("access-", time); }

QDate MonthOfTransmissionsFile(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^transmissions-(\\d{4})-(\\d{2})\\.csv$"));
    const QRegularExpressionMatch match = pattern.match(name);
    return match.hasMatch() ? QDate(match.captured(1).toInt(), match.captured(2).toInt(), 1) : QDate();
}

QString UtcText(const QDateTime& time)
{
    return time.isValid() ? time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")) : QString();
}

QDateTime ParseUtc(QByteArrayView text)
{
    const QDateTime written = ParseWrittenForm(text);
    if (written.isValid() || text.isEmpty())
        return written;
    // A time without a zone is taken as UTC, as every time in the files is.
    QDateTime other = QDateTime::fromString(QString::fromUtf8(text).trimmed(), Qt::ISODateWithMs);
    if (other.isValid() && other.timeSpec() == Qt::LocalTime)
        other.setTimeSpec(Qt::UTC);
    return other.toUTC();
}

QList<QString> TransmissionFieldTexts(const TransmissionRecord& record)
{
    return {UtcText(record.start), FrequencyText(record.frequencyKhz), OneLine(record.mode), OneLine(record.who),
            OneLine(record.began), UtcText(record.end), DurationText(record.DurationMs()), OneLine(record.ended)};
}

QByteArray StartText(const TransmissionRecord& record)
{
    return CsvFieldsText(TransmissionFieldTexts(record).mid(0, 5)) + ',';
}

QByteArray EndText(const TransmissionRecord& record)
{
    return CsvRecordText(TransmissionFieldTexts(record).mid(5));
}

QByteArray RecordText(const TransmissionRecord& record) { return StartText(record) + EndText(record); }

QByteArray TransmissionsCsv(const QList<TransmissionRecord>& newestFirst)
{
    QByteArray text(kTransmissionsHeader);
    for (auto it = newestFirst.crbegin(); it != newestFirst.crend(); ++it)
        text += RecordText(*it);
    return text;
}
