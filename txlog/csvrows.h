#pragma once
// RFC 4180 text taken apart row by row without copying: a field is a view
// into the text, or into the row's own copy when doubled quotes had to be
// undone. ReadCsv's general reader (separators guessed, every character
// copied) is several times too slow for a year of transmissions.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

class CCsvRows {
public:
    explicit CCsvRows(QByteArrayView text);

    // The next row that is not blank; false at the end of the text.
    bool Next();
    const QList<QByteArrayView>& Fields() const { return m_fields; }

private:
    QByteArrayView Field();
    QByteArrayView Quoted();
    QByteArrayView Plain();
    bool AtLineEnd() const;

    QByteArrayView m_text;
    qsizetype m_pos = 0;
    QList<QByteArrayView> m_fields;
    QList<QByteArray> m_unquoted;
};
