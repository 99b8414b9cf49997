#include "channeleditor/channelcsv.h"

#include <algorithm>

#include "channeleditor/csvtext.h"
#include "channeleditor/slotfields.h"

const char* const g_szChannelCsvHeader = "Slot,Frequency kHz,Mode,AGC,Input,Route,Description";

namespace {

QStringList HeaderNames() { return QString::fromLatin1(g_szChannelCsvHeader).split(QLatin1Char(',')); }

QStringList RowFields(int slot, const ChannelSlot& value)
{
    QStringList fields;
    for (int column = 0; column < kSlotColumnCount; ++column)
        fields << FieldText(slot, value, ColumnAt(column), FieldUse::Exported);
    return fields;
}

// The columns a spreadsheet leaves empty after the last are no fields.
QStringList WithoutEmptyTail(QStringList fields)
{
    while (fields.size() > kSlotColumnCount && fields.back().trimmed().isEmpty())
        fields.removeLast();
    return fields;
}

bool LooksLikeHeader(const QStringList& fields)
{
    return !fields.isEmpty() && fields.front().trimmed().compare(QLatin1String("Slot"), Qt::CaseInsensitive) == 0;
}

QString HeaderProblem(const QStringList& fields)
{
    const QStringList names = HeaderNames();
    bool same = fields.size() == names.size();
    for (qsizetype i = 0; same && i < names.size(); ++i)
        same = fields[i].trimmed().compare(names[i], Qt::CaseInsensitive) == 0;
    return same ? QString() : QStringLiteral("the header should be %1").arg(QLatin1String(g_szChannelCsvHeader));
}

bool OnlyTheSlot(const QStringList& fields)
{
    return std::all_of(fields.begin() + 1, fields.end(), [](const QString& f) { return f.trimmed().isEmpty(); });
}

// A row holds a whole slot: what it leaves empty, the slot does not keep.
QString RowProblem(const QStringList& fields, int& slot, ChannelSlot& value)
{
    if (fields.size() != kSlotColumnCount)
        return QStringLiteral("%1 fields where 7 belong (%2)").arg(fields.size()).arg(QLatin1String(g_szChannelCsvHeader));
    QString why;
    const std::optional<int> number = ParseSlotNumber(fields.front(), why);
    if (!number)
        return why;
    slot = *number;
    value = NeverStoredSlot();
    if (OnlyTheSlot(fields))
        return QString();
    if (fields[1].trimmed().isEmpty())
        return QStringLiteral("slot %1 has no frequency").arg(slot);
    QStringList problems;
    for (int column = 1; column < kSlotColumnCount; ++column) {
        const QString problem = SetField(value, ColumnAt(column), fields[column]);
        if (!problem.isEmpty())
            problems << problem;
    }
    return problems.join(QStringLiteral("; "));
}

QString AtLine(int line, const QString& problem) { return QStringLiteral("line %1: %2").arg(line).arg(problem); }

} // namespace

QByteArray ChannelsAsCsv(const ChannelSlots& table, bool allSlots)
{
    QList<int> which;
    for (int slot = 0; slot < kChannelCount; ++slot)
        if (allSlots || !IsNeverStored(table[slot]))
            which << slot;
    return CsvRecordText(HeaderNames()) + SlotRowsAsCsv(table, which);
}

QByteArray SlotRowsAsCsv(const ChannelSlots& table, const QList<int>& which)
{
    QByteArray csv;
    for (int slot : which)
        csv += CsvRecordText(RowFields(slot, table[slot]));
    return csv;
}

ChannelRows ReadChannelRows(const QByteArray& csv)
{
    ChannelRows result;
    const CsvText text = ReadCsv(csv);
    QMap<int, int> lineOfSlot;
    for (const CsvRecord& record : text.records) {
        const QStringList fields = WithoutEmptyTail(record.fields);
        if (&record == &text.records.front() && LooksLikeHeader(fields)) {
            if (const QString problem = HeaderProblem(fields); !problem.isEmpty())
                result.problems << AtLine(record.line, problem);
            continue;
        }
        int slot = -1;
        ChannelSlot value;
        QString problem = RowProblem(fields, slot, value);
        if (problem.isEmpty() && lineOfSlot.contains(slot))
            problem = QStringLiteral("slot %1 is already on line %2").arg(slot).arg(lineOfSlot[slot]);
        if (!problem.isEmpty()) {
            result.problems << AtLine(record.line, problem);
            continue;
        }
        lineOfSlot[slot] = record.line;
        result.rows.append({slot, value});
    }
    if (!text.problem.isEmpty())
        result.problems << AtLine(text.problemLine, text.problem);
    return result;
}

QMap<int, ChannelSlot> PlacedBySlot(const ChannelRows& rows)
{
    QMap<int, ChannelSlot> placed;
    for (const auto& [slot, value] : rows.rows)
        placed[slot] = value;
    return placed;
}
