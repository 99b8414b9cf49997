#include "channeleditor/slotfields.h"

#include <QRegularExpression>
#include <iterator>

#include "panel/tuningstate.h"

namespace {

struct LetterName {
    char letter;
    const char* name;
    const char* spoken;
};

// Mode, AGC and audio input go by the panel's own captions. Ext PTT and
// local audio have none between them, so the column shows the two switches.
const LetterName kModes[] = {{'U', "USB", "USB"}, {'L', "LSB", "LSB"}, {'A', "AM", "AM"}, {'C', "CW", "CW"}};
const LetterName kAgcs[] = {{'O', "Off", "Off"}, {'S', "Slow", "Slow"}, {'M', "Medium", "Medium"}, {'F', "Fast", "Fast"}};
const LetterName kInputs[] = {{'M', "Mic", "Mic"}, {'A', "Audio2", "Audio2"}, {'P', "Patch", "Patch"}};
const LetterName kRoutes[] = {{'R', "Off/Off", "Ext PTT off, local audio off"},
                              {'T', "On/Off", "Ext PTT on, local audio off"},
                              {'L', "On/On", "Ext PTT on, local audio on"}};

struct LetterColumn {
    const LetterName* begin;
    const LetterName* end;
    const char* what;
    bool exportNames;  // a CSV file carries the captions; the route has only letters
};

LetterColumn LettersOf(SlotColumn column)
{
    switch (column) {
    case SlotColumn::Mode: return {std::begin(kModes), std::end(kModes), "mode", true};
    case SlotColumn::Agc: return {std::begin(kAgcs), std::end(kAgcs), "AGC", true};
    case SlotColumn::Input: return {std::begin(kInputs), std::end(kInputs), "audio input", true};
    default: return {std::begin(kRoutes), std::end(kRoutes), "Ext PTT/local audio", false};
    }
}

// The member a letter column shows and edits.
char ChannelSlot::*LetterField(SlotColumn column)
{
    switch (column) {
    case SlotColumn::Mode: return &ChannelSlot::mode;
    case SlotColumn::Agc: return &ChannelSlot::agc;
    case SlotColumn::Input: return &ChannelSlot::input;
    default: return &ChannelSlot::route;
    }
}

QString LetterText(SlotColumn column, char letter, FieldUse use)
{
    if (letter == 0)
        return QString();
    const LetterColumn letters = LettersOf(column);
    for (const LetterName* entry = letters.begin; entry != letters.end; ++entry) {
        if (entry->letter != letter)
            continue;
        if (use == FieldUse::Exported && !letters.exportNames)
            break;
        return QString::fromLatin1(use == FieldUse::Spoken ? entry->spoken : entry->name);
    }
    return QString(QChar(static_cast<unsigned char>(letter)));
}

// What the reader takes back as one letter: not a blank (it would be skipped
// as the space between fields) and not a control character.
bool FileKeepsLetter(QChar c)
{
    const ushort u = c.unicode();
    return (u > 0x20 && u < 0x7F) || (u > 0xA0 && u <= 0xFF);
}

std::optional<char> ParseLetter(SlotColumn column, const QString& text, QString& why)
{
    const QString given = text.trimmed();
    if (given.isEmpty())
        return '\0';
    const LetterColumn letters = LettersOf(column);
    QStringList names;
    for (const LetterName* entry = letters.begin; entry != letters.end; ++entry) {
        const QChar letter = QLatin1Char(entry->letter);
        names << (letters.exportNames ? QString::fromLatin1(entry->name) : QString(letter));
        if (given.compare(QLatin1String(entry->name), Qt::CaseInsensitive) == 0
            || (given.size() == 1 && given[0].toUpper() == letter))
            return entry->letter;
    }
    // A letter of no meaning is kept as given: the file keeps it, and a
    // recall passes it over.
    if (given.size() == 1 && FileKeepsLetter(given[0]))
        return static_cast<char>(given[0].unicode());
    why = QStringLiteral("%1 \"%2\" is neither %3 nor a single letter")
              .arg(QLatin1String(letters.what), given, names.join(QStringLiteral(", ")));
    return std::nullopt;
}

// A spreadsheet formats 7150 as "7,150.000", or "7.150,000" in languages
// with a decimal comma: the reason says how to write it instead.
QString NotAFrequency(const QString& given, const QRegularExpression& shape)
{
    static const QRegularExpression thousands(QStringLiteral("^[0-9]{1,3}(,[0-9]{3})+(\\.[0-9]*)?$"));
    static const QRegularExpression thousandsPoint(QStringLiteral("^[0-9]{1,3}(\\.[0-9]{3})+(,[0-9]*)?$"));
    const bool commaGroups = thousands.match(given).hasMatch() && given.contains(QLatin1Char('.'));
    if (commaGroups || (thousandsPoint.match(given).hasMatch() && given.contains(QLatin1Char(',')))) {
        QString plain = given;
        plain.remove(commaGroups ? QLatin1Char(',') : QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
        return QStringLiteral("\"%1\" has a thousands separator: write it %2, with no separator and the decimals "
                              "after a point").arg(given, plain);
    }
    if (thousands.match(given).hasMatch())
        return QStringLiteral("\"%1\" is not a frequency in kHz: write it with no thousands separator (%2), and "
                              "the decimals after a point").arg(given, QString(given).remove(QLatin1Char(',')));
    if (shape.match(QString(given).replace(QLatin1Char(','), QLatin1Char('.'))).hasMatch())
        return QStringLiteral("\"%1\" is not a frequency in kHz: the decimals follow a point").arg(given);
    return QStringLiteral("\"%1\" is not a frequency in kHz").arg(given);
}

// Extra decimals are refused rather than rounded, unless they are zeros:
// the file keeps two, and a recall would tune elsewhere than the text said.
std::optional<double> ParseFrequency(const QString& text, QString& why)
{
    const QString given = text.trimmed();
    static const QRegularExpression shape(QStringLiteral("^([0-9]*)(?:\\.([0-9]*))?$"));
    static const QRegularExpression nonZero(QStringLiteral("[1-9]"));
    const QRegularExpressionMatch match = shape.match(given);
    if (given.isEmpty()) {
        why = QStringLiteral("a stored channel needs a frequency (Clear empties a slot)");
    } else if (!match.hasMatch() || (match.captured(1).isEmpty() && match.captured(2).isEmpty())) {
        why = NotAFrequency(given, shape);
    } else if (match.captured(2).mid(2).contains(nonZero)) {
        why = QStringLiteral("%1 kHz has more than two decimals; the channel file keeps two").arg(given);
    } else if (const double kHz = given.toDouble(); FrequencyFitsField(kHz)) {
        return kHz;
    } else {
        why = QStringLiteral("%1 kHz is beyond the radio's frequency field (0 to 99999.99 kHz)").arg(given);
    }
    return std::nullopt;
}

QString DescriptionCharacterProblem(QChar c)
{
    const ushort u = c.unicode();
    if (u == '\n' || u == '\r')
        return QStringLiteral("a description is one line and cannot hold a line break");
    if (u < 0x20 || (u >= 0x7F && u < 0xA0))
        return QStringLiteral("the description holds a control character (U+%1), which the channel list cannot show")
            .arg(u, 4, 16, QLatin1Char('0'));
    if (u > 0xFF)
        return QStringLiteral("\"%1\" cannot be kept: the channel file holds Latin-1 characters only, one byte each")
            .arg(c.isSurrogate() ? QStringLiteral("?") : QString(c));
    return QString();
}

// Blanks at the end pad every description anyway, so they do not count.
std::optional<QByteArray> ParseDescription(const QString& text, QString& why)
{
    QString given = text;
    while (given.endsWith(QLatin1Char(' ')))
        given.chop(1);
    for (QChar c : given) {
        why = DescriptionCharacterProblem(c);
        if (!why.isEmpty())
            return std::nullopt;
    }
    if (given.size() > kDescLength - 1) {
        why = QStringLiteral("the description has %1 characters; it holds at most 29").arg(given.size());
        return std::nullopt;
    }
    return given.toLatin1();
}

QString DescriptionShown(const ChannelSlot& value, FieldUse use)
{
    QByteArray text = DescriptionText(value);
    // The list shows a line up to its first zero byte; so does the table.
    if (use != FieldUse::Exported && text.contains('\0'))
        text.truncate(text.indexOf('\0'));
    return QString::fromLatin1(text);
}

} // namespace

QString ColumnCaption(SlotColumn column)
{
    switch (column) {
    case SlotColumn::Slot: return QStringLiteral("Slot");
    case SlotColumn::Frequency: return QStringLiteral("Frequency kHz");
    case SlotColumn::Mode: return QStringLiteral("Mode");
    case SlotColumn::Agc: return QStringLiteral("AGC");
    case SlotColumn::Input: return QStringLiteral("Audio input");
    case SlotColumn::Route: return QStringLiteral("Ext PTT/Local audio");
    case SlotColumn::Description: return QStringLiteral("Description");
    }
    return QString();
}

QString FieldText(int slot, const ChannelSlot& value, SlotColumn column, FieldUse use)
{
    if (column == SlotColumn::Slot)
        return QString::number(slot);
    if (IsNeverStored(value))
        return QString();
    switch (column) {
    case SlotColumn::Frequency: {
        const QString kHz = QString::number(value.freq, 'f', 2);
        return use == FieldUse::Spoken ? kHz + QStringLiteral(" kHz") : kHz;
    }
    case SlotColumn::Description: return DescriptionShown(value, use);
    default: return LetterText(column, value.*LetterField(column), use);
    }
}

QStringList LetterNames(SlotColumn column)
{
    QStringList names;
    const LetterColumn letters = LettersOf(column);
    for (const LetterName* entry = letters.begin; entry != letters.end; ++entry)
        names << QString::fromLatin1(entry->name);
    return names;
}

QString SetField(ChannelSlot& value, SlotColumn column, const QString& text)
{
    if (column == SlotColumn::Slot)
        return QStringLiteral("a slot's number is its place in the table");
    if (IsNeverStored(value) && text.trimmed().isEmpty())
        return QString();
    ChannelSlot next = StoredFrom(value);
    QString why;
    if (column == SlotColumn::Frequency) {
        if (const std::optional<double> kHz = ParseFrequency(text, why))
            next.freq = *kHz;
    } else if (column == SlotColumn::Description) {
        if (const std::optional<QByteArray> desc = ParseDescription(text, why))
            SetDescriptionText(next, *desc);
    } else if (const std::optional<char> letter = ParseLetter(column, text, why)) {
        next.*LetterField(column) = *letter;
    }
    if (why.isEmpty())
        value = next;
    return why;
}

std::optional<int> ParseSlotNumber(const QString& text, QString& why)
{
    bool ok = false;
    const int slot = text.trimmed().toInt(&ok);
    if (ok && IsChannel(slot))
        return slot;
    why = QStringLiteral("\"%1\" is not a slot number from 0 to 299").arg(text.trimmed());
    return std::nullopt;
}
