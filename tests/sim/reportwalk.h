#pragma once

// The panel's reading of a status report, kept apart from the simulator's
// writer on purpose: the widths here are the ones the panel's parser steps
// by, so a field the writer gets wrong shows up as a walk that goes astray.

#include <QByteArray>
#include <QList>
#include <cstring>

namespace reportwalk {

// 0 for a byte that has no field of its own (the parser skips two).
inline int fieldLength(char code)
{
    if (code && std::strchr("#$&^", code))
        return 1;
    if (code && std::strchr("KU", code))
        return 2;
    if (code && std::strchr("\"'(*,ISAMDHVO!)ERTYZ", code))
        return 3;
    if (code && std::strchr("GCJP", code))
        return 4;
    if (code == 'X')
        return 5;
    if (code == 'B')
        return 6;
    if (code == 'F')
        return 9;
    return 0;
}

struct Walk
{
    QList<QByteArray> fields;   // each field's bytes, code first
    bool landsOnLineFeed = false;
};

// Walks the report the way the panel does. It succeeds only if every field
// has a known code and the last field ends right before the final line feed,
// which the panel then skips as a field of its own.
inline Walk walk(const QByteArray &report)
{
    Walk result;
    qsizetype p = 0;
    const qsizetype end = report.size() - 1;
    while (p < end) {
        const int length = fieldLength(report.at(p));
        if (length == 0)
            return result;
        result.fields.append(report.mid(p, length));
        p += length;
    }
    result.landsOnLineFeed = p == end && report.endsWith('\n')
        && report.count('\n') == 1;
    return result;
}

// The code of every field, in order.
inline QByteArray codes(const QByteArray &report)
{
    QByteArray out;
    for (const QByteArray &field : walk(report).fields)
        out.append(field.at(0));
    return out;
}

// The value characters of the field with this code, or a null array.
inline QByteArray value(const QByteArray &report, char code)
{
    for (const QByteArray &field : walk(report).fields) {
        if (field.at(0) == code)
            return field.mid(1).trimmed();
    }
    return {};
}

} // namespace reportwalk
