#include "channeleditor/channelcsv.h"

#include <algorithm>
#include <array>
#include <optional>

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
QStringList WithoutEmptyTail(QStringList fields, qsizetype width)
{
    while (fields.size() > width && fields.back().trimmed().isEmpty())
        fields.removeLast();
    return fields;
}

// "a, b and c".
QString Listed(QStringList names)
{
    const QString last = names.takeLast();
    return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// A spreadsheet's own names for the columns are taken too: the window's
// captions, and Frequency without its unit.
const char* const kColumnNames[kSlotColumnCount][2] = {
    {"Slot", nullptr},          {"Frequency kHz", "Frequency"}, {"Mode", nullptr}, {"AGC", nullptr},
    {"Input", "Audio input"},   {"Route", "Ext PTT/Local audio"}, {"Description", nullptr},
};

std::optional<int> ColumnNamed(const QString& field)
{
    const QString name = field.trimmed();
    for (int column = 0; column < kSlotColumnCount; ++column)
        for (const char* known : kColumnNames[column])
            if (known && name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
                return column;
    return std::nullopt;
}

bool IsNumber(const QString& field)
{
    bool number = false;
    field.trimmed().toDouble(&number);
    return number;
}

// A row starts with its slot number and goes on with a frequency, if any;
// a header with names of its own does neither.
bool LooksLikeHeader(const QStringList& fields)
{
    if (std::any_of(fields.begin(), fields.end(), [](const QString& f) { return ColumnNamed(f).has_value(); }))
        return true;
    return fields.size() > 1 && !IsNumber(fields[0]) && !fields[1].trimmed().isEmpty() && !IsNumber(fields[1]);
}

// For each column, the place of its field in a row, and how many fields a
// row has: the header's, or the columns in their own order without one.
// A spreadsheet may keep a column with an empty header between the named
// ones; it belongs to no column.
struct RowLayout {
    std::array<int, kSlotColumnCount> places{0, 1, 2, 3, 4, 5, 6};
    qsizetype width = kSlotColumnCount;
};

QString HeaderProblem(const QStringList& fields, RowLayout& layout)
{
    auto& places = layout.places;
    places.fill(-1);
    layout.width = fields.size();
    QStringList unknown;
    QStringList twice;
    for (int i = 0; i < fields.size(); ++i) {
        const std::optional<int> column = ColumnNamed(fields[i]);
        if (column && places[*column] < 0)
            places[*column] = i;
        else if (column)
            twice << QLatin1String(kColumnNames[*column][0]);
        else if (!fields[i].trimmed().isEmpty())
            unknown << QStringLiteral("\"%1\"").arg(fields[i].trimmed());
    }
    QStringList missing;
    for (int column = 0; column < kSlotColumnCount; ++column)
        if (places[column] < 0)
            missing << QLatin1String(kColumnNames[column][0]);
    if (missing.isEmpty() && unknown.isEmpty() && twice.isEmpty())
        return QString();
    QStringList problems;
    if (!missing.isEmpty())
        problems << QStringLiteral("the header lacks %1").arg(Listed(missing));
    if (!unknown.isEmpty())
        problems << QStringLiteral("%1 %2 no column's name").arg(Listed(unknown), QLatin1String(unknown.size() == 1 ? "is" : "are"));
    if (!twice.isEmpty())
        problems << QStringLiteral("it names %1 twice").arg(Listed(twice));
    return problems.join(QStringLiteral(", and ")) + QStringLiteral("; a header names %1, in any order").arg(Listed(HeaderNames()));
}

bool IsNamedPlace(const RowLayout& layout, qsizetype place)
{
    return std::find(layout.places.begin(), layout.places.end(), place) != layout.places.end();
}

// A row's fields in the columns' own order, as the layout places them; a
// row that does not fit the layout is refused with the reason.
QString InColumnOrder(const QStringList& fields, const RowLayout& layout, QStringList& ordered)
{
    if (fields.size() != layout.width && layout.width == kSlotColumnCount)
        return QStringLiteral("%1 fields where 7 belong (%2)").arg(fields.size()).arg(QLatin1String(g_szChannelCsvHeader));
    if (fields.size() != layout.width)
        return QStringLiteral("%1 fields where the header has %2 columns, so its fields cannot be placed under them")
            .arg(fields.size()).arg(layout.width);
    for (qsizetype place = 0; place < fields.size(); ++place)
        if (!IsNamedPlace(layout, place) && !fields[place].trimmed().isEmpty())
            return QStringLiteral("field %1 holds \"%2\" under a column the header gives no name, so it belongs to no column")
                .arg(place + 1).arg(fields[place].trimmed());
    ordered.reserve(layout.places.size());
    for (int place : layout.places)
        ordered << fields[place];
    return QString();
}

bool WhollyEmpty(const QStringList& fields)
{
    return std::all_of(fields.begin(), fields.end(), [](const QString& f) { return f.trimmed().isEmpty(); });
}

bool OnlyTheSlot(const QStringList& fields)
{
    return std::all_of(fields.begin() + 1, fields.end(), [](const QString& f) { return f.trimmed().isEmpty(); });
}

// A row holds a whole slot: what it leaves empty, the slot does not keep.
QString RowProblem(const QStringList& fields, int& slot, ChannelSlot& value)
{
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
    RowLayout layout;
    bool first = true;
    for (const CsvRecord& record : text.records) {
        const QStringList fields = WithoutEmptyTail(record.fields, layout.width);
        // A spreadsheet saves the rows below a table as separators alone.
        if (WhollyEmpty(fields))
            continue;
        const bool header = first && LooksLikeHeader(fields);
        first = false;
        if (header) {
            if (const QString problem = HeaderProblem(fields, layout); !problem.isEmpty()) {
                result.problems << AtLine(record.line, problem);
                break;  // its rows cannot be placed
            }
            continue;
        }
        int slot = -1;
        ChannelSlot value;
        QStringList ordered;
        QString problem = InColumnOrder(fields, layout, ordered);
        if (problem.isEmpty())
            problem = RowProblem(ordered, slot, value);
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
