#include "netport/farendinput.h"

#include <QtGlobal>

qsizetype CFarEndInput::Wanted() const
{
    if (!m_open)
        return kPiece;
    // The telnet layer never makes more data than the bytes it is given.
    return qMin(kPiece, kMostHeld - m_held.size());
}

CFarEndInput::Taken CFarEndInput::Take(const QByteArray& bytes)
{
    Taken taken;
    QByteArray data;
    if (m_telnetOn)
        taken.events = m_telnet.Feed(bytes, data, taken.reply);
    else
        data = bytes;
    const qsizetype room = qMax<qsizetype>(0, kMostHeld - m_held.size());
    m_held += data.left(room);
    m_dropped += data.size() - qMin(room, data.size());
    return taken;
}
