#include "txlog/csvrows.h"

CCsvRows::CCsvRows(QByteArrayView text) : m_text(text)
{
    if (m_text.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;  // a byte order mark, as spreadsheets save
}

bool CCsvRows::AtLineEnd() const
{
    return m_pos >= m_text.size() || m_text[m_pos] == '\n' || m_text[m_pos] == '\r';
}

bool CCsvRows::Next()
{
    m_fields.clear();
    m_unquoted.clear();
    while (m_pos < m_text.size() && (m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
        ++m_pos;
    if (m_pos >= m_text.size())
        return false;
    for (;;) {
        m_fields << Field();
        if (m_pos >= m_text.size() || m_text[m_pos] != ',')
            break;
        ++m_pos;
    }
    return true;
}

QByteArrayView CCsvRows::Field()
{
    return m_pos < m_text.size() && m_text[m_pos] == '"' ? Quoted() : Plain();
}

QByteArrayView CCsvRows::Plain()
{
    const qsizetype from = m_pos;
    while (!AtLineEnd() && m_text[m_pos] != ',')
        ++m_pos;
    return m_text.sliced(from, m_pos - from);
}

// A quote never closed is taken as an ordinary character, so one stray
// quote in a hand-edited line cannot swallow every line after it.
QByteArrayView CCsvRows::Quoted()
{
    const qsizetype opened = m_pos;
    bool doubled = false;
    qsizetype closing = opened + 1;
    for (;; ++closing) {
        if (closing >= m_text.size())
            return Plain();
        if (m_text[closing] != '"')
            continue;
        if (closing + 1 >= m_text.size() || m_text[closing + 1] != '"')
            break;
        doubled = true;
        ++closing;
    }
    m_pos = closing + 1;
    const QByteArrayView inside = m_text.sliced(opened + 1, closing - opened - 1);
    // Text after the closing quote is kept, as spreadsheets keep it.
    const QByteArrayView after = Plain();
    if (!doubled && after.isEmpty())
        return inside;
    QByteArray field = inside.toByteArray();
    if (doubled)
        field.replace("\"\"", "\"");
    m_unquoted << field + after.toByteArray();
    return m_unquoted.back();
}
