#include "channeleditor/csvtext.h"

#include <QStringDecoder>

namespace {

// Walks the text one character at a time, keeping the line count, so every
// record and every problem has its line.
class CsvReader {
public:
    CsvReader(const QString& text, qsizetype start, QChar separator)
        : m_text(text), m_pos(start), m_separator(separator)
    {
    }
    CsvText Read();

private:
    bool AtEnd() const { return m_pos >= m_text.size(); }
    QChar Peek() const { return AtEnd() ? QChar() : m_text[m_pos]; }
    bool TakeLineEnd();
    bool ReadRecord(CsvRecord& record);
    bool ReadQuoted(QString& field);
    void ReadPlain(QString& field);
    void Fail(int line, const QString& problem);

    const QString& m_text;
    qsizetype m_pos;
    const QChar m_separator;
    int m_line = 1;
    CsvText m_result;
};

bool CsvReader::TakeLineEnd()
{
    if (Peek() == QLatin1Char('\r') && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == QLatin1Char('\n'))
        ++m_pos;
    if (Peek() != QLatin1Char('\n') && Peek() != QLatin1Char('\r'))
        return false;
    ++m_pos;
    ++m_line;
    return true;
}

void CsvReader::Fail(int line, const QString& problem)
{
    m_result.problemLine = line;
    m_result.problem = problem;
}

bool CsvReader::ReadQuoted(QString& field)
{
    const int opened = m_line;
    ++m_pos;
    for (;;) {
        if (AtEnd()) {
            Fail(opened, QStringLiteral("a quoted field is never closed"));
            return false;
        }
        if (TakeLineEnd()) {
            field += QLatin1Char('\n');
            continue;
        }
        const QChar c = m_text[m_pos++];
        if (c != QLatin1Char('"'))
            field += c;
        else if (Peek() == QLatin1Char('"'))
            field += m_text[m_pos++];
        else
            break;
    }
    if (AtEnd() || Peek() == m_separator || Peek() == QLatin1Char('\r') || Peek() == QLatin1Char('\n'))
        return true;
    Fail(m_line, QStringLiteral("text follows a closing quote (a quote inside a quoted field is written twice)"));
    return false;
}

// Outside quotes a quote is an ordinary character: spreadsheets read
// 12" dish that way too.
void CsvReader::ReadPlain(QString& field)
{
    const qsizetype start = m_pos;
    while (!AtEnd() && Peek() != m_separator && Peek() != QLatin1Char('\r') && Peek() != QLatin1Char('\n'))
        ++m_pos;
    field = m_text.sliced(start, m_pos - start);
}

bool CsvReader::ReadRecord(CsvRecord& record)
{
    record.line = m_line;
    // Rows mostly have as many fields as the one before them.
    record.fields.reserve(m_result.records.isEmpty() ? 8 : m_result.records.last().fields.size());
    for (;;) {
        QString field;
        if (Peek() == QLatin1Char('"')) {
            if (!ReadQuoted(field))
                return false;
        } else {
            ReadPlain(field);
        }
        record.fields << std::move(field);
        if (Peek() != m_separator)
            break;
        ++m_pos;
    }
    TakeLineEnd();
    return true;
}

CsvText CsvReader::Read()
{
    while (!AtEnd()) {
        if (TakeLineEnd())
            continue;  // a blank line
        CsvRecord record;
        if (!ReadRecord(record))
            break;
        m_result.records << std::move(record);
    }
    return m_result;
}

// A spreadsheet saves with the separator of its language: semicolons where
// the comma is the decimal sign, tabs for "text" files. The first line (the
// header, or a clipboard's first row) holds the most of the one it used;
// what stands inside quotes does not count.
QChar SeparatorOfFirstLine(const QString& text, qsizetype from)
{
    int commas = 0;
    int semicolons = 0;
    int tabs = 0;
    bool quoted = false;
    for (qsizetype i = from; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"')
            quoted = !quoted;
        if (quoted)
            continue;
        if (c == u'\n' || c == u'\r')
            break;
        commas += c == u',';
        semicolons += c == u';';
        tabs += c == u'\t';
    }
    if (semicolons > commas && semicolons >= tabs)
        return QLatin1Char(';');
    return tabs > commas ? QLatin1Char('\t') : QLatin1Char(',');
}

// The line of the first byte that is not UTF-8.
int FirstBadUtf8Line(const QByteArray& utf8)
{
    int line = 1;
    for (const QByteArray& text : utf8.split('\n')) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        (void)QString(decoder.decode(text));
        if (decoder.hasError())
            return line;
        ++line;
    }
    return line;
}

bool NeedsQuotes(const QString& field)
{
    for (QChar c : field)
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return true;
    return !field.isEmpty() && (field.front().isSpace() || field.back().isSpace());
}

} // namespace

CsvText ReadCsv(const QByteArray& utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(utf8);
    if (decoder.hasError()) {
        CsvText result;
        result.problemLine = FirstBadUtf8Line(utf8);
        result.problem = QStringLiteral("the file is not UTF-8 text here");
        return result;
    }
    // A spreadsheet's UTF-8 starts with a byte order mark.
    const qsizetype start = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    return CsvReader(text, start, SeparatorOfFirstLine(text, start)).Read();
}

QByteArray CsvRecordText(const QStringList& fields) { return CsvFieldsText(fields) + "\r\n"; }

QByteArray CsvFieldsText(const QStringList& fields)
{
    QStringList written;
    for (const QString& field : fields) {
        if (!NeedsQuotes(field)) {
            written << field;
            continue;
        }
        QString quoted = field;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        written << QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return written.join(QLatin1Char(',')).toUtf8();
}
