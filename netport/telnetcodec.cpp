#include "netport/telnetcodec.h"

using namespace telnet;

namespace {

// A signature or notification is a few dozen bytes; anything longer is
// dropped rather than kept for a sub-negotiation that may never end.
constexpr qsizetype kLongestSub = 256;

// Put straight into what is owed, not made on its own first: a far end
// may send a negotiation in every few bytes.
void AppendCommand(QByteArray& to, quint8 verb, quint8 option)
{
    const char command[] = {char(kIac), char(verb), char(option)};
    to.append(command, sizeof command);
}

bool SupportedByUs(quint8 option) { return option == kBinary || option == kSuppressGoAhead || option == kComPort; }
bool WantedFromThem(quint8 option) { return option == kBinary || option == kSuppressGoAhead; }

} // namespace

bool CTelnetCodec::Event::operator==(const Event& other) const
{
    return kind == other.kind && side == other.side && code == other.code && value == other.value;
}

QByteArray CTelnetCodec::Start()
{
    m_ours[kBinary] = Q::WantYes;
    m_theirs[kBinary] = Q::WantYes;
    m_ours[kComPort] = Q::WantYes;
    QByteArray requests;
    AppendCommand(requests, kWill, kBinary);
    AppendCommand(requests, kDo, kBinary);
    AppendCommand(requests, kWill, kComPort);
    return requests;
}

bool CTelnetCodec::Agreed(Side side, quint8 option) const
{
    return (side == Side::Ours ? m_ours : m_theirs)[option] == Q::Yes;
}

QList<CTelnetCodec::Event> CTelnetCodec::Feed(const QByteArray& bytes, QByteArray& data, QByteArray& reply)
{
    QList<Event> events;
    Feed(bytes, data, reply, events);
    return events;
}

void CTelnetCodec::Feed(QByteArrayView bytes, QByteArray& data, QByteArray& reply, QList<Event>& events)
{
    for (const char c : bytes)
        FeedByte(quint8(c), data, reply, events);
}

void CTelnetCodec::FeedByte(quint8 byte, QByteArray& data, QByteArray& reply, QList<Event>& events)
{
    switch (m_state) {
    case State::Data: DataByte(byte, data); break;
    case State::Iac: IacByte(byte, data); break;
    case State::Verb:
        m_state = State::Data;
        Verb(m_verb, byte, reply, events);
        break;
    case State::Sub: SubByte(byte); break;
    case State::SubIac: SubIacByte(byte, data, events); break;
    }
}

// Until the far end sends in BINARY, a carriage return travels as CR NUL.
void CTelnetCodec::DataByte(quint8 byte, QByteArray& data)
{
    const bool afterCr = m_afterCr;
    m_afterCr = byte == '\r' && !Agreed(Side::Theirs, kBinary);
    if (byte == kIac)
        m_state = State::Iac;
    else if (!(afterCr && byte == 0))
        data += char(byte);
}

void CTelnetCodec::IacByte(quint8 byte, QByteArray& data)
{
    m_state = State::Data;
    if (byte == kIac) {
        data += char(kIac);
    } else if (byte >= kWill) {
        m_verb = byte;
        m_state = State::Verb;
    } else if (byte == kSb) {
        m_sub.clear();
        m_subTooLong = false;
        m_state = State::Sub;
    }
    // NOP, GA, DM and the other bare commands carry nothing for the line.
}

void CTelnetCodec::SubByte(quint8 byte)
{
    if (byte == kIac)
        m_state = State::SubIac;
    else
        AddSub(byte);
}

void CTelnetCodec::AddSub(quint8 byte)
{
    if (m_sub.size() < kLongestSub)
        m_sub += char(byte);
    else
        m_subTooLong = true;
}

// IAC inside a sub-negotiation is either a doubled 255 or its end; anything
// else ends it unfinished, and the byte is read as a command of its own.
void CTelnetCodec::SubIacByte(quint8 byte, QByteArray& data, QList<Event>& events)
{
    m_state = byte == kIac ? State::Sub : State::Data;
    if (byte == kIac)
        AddSub(kIac);
    else if (byte == kSe)
        EndSub(events);
    else
        IacByte(byte, data);
}

void CTelnetCodec::EndSub(QList<Event>& events)
{
    if (m_subTooLong || m_sub.size() < 2 || quint8(m_sub[0]) != kComPort)
        return;
    events << Event{Event::Kind::ComPort, Side::Theirs, quint8(m_sub[1]), m_sub.mid(2)};
}

void CTelnetCodec::Verb(quint8 verb, quint8 option, QByteArray& reply, QList<Event>& events)
{
    switch (verb) {
    case kDo:
        if (SupportedByUs(option))
            Turn(Side::Ours, option, true, kWill, reply, events);
        else
            Refuse(Side::Ours, option, kWont, reply);
        break;
    case kWill:
        if (WantedFromThem(option))
            Turn(Side::Theirs, option, true, kDo, reply, events);
        else
            Refuse(Side::Theirs, option, kDont, reply);
        break;
    case kDont: Turn(Side::Ours, option, false, kWont, reply, events); break;
    default: Turn(Side::Theirs, option, false, kDont, reply, events); break;
    }
}

// A word that changes nothing needs no answer (a refusal of what is already
// off), nor does the far end's answer to what we asked for.
void CTelnetCodec::Turn(Side side, quint8 option, bool on, quint8 answer, QByteArray& reply, QList<Event>& events)
{
    Q& state = Table(side)[option];
    const Q turned = on ? Q::Yes : Q::No;
    if (state == turned)
        return;
    if (state != Q::WantYes)
        AppendCommand(reply, answer, option);
    state = turned;
    events << Event{on ? Event::Kind::Agreed : Event::Kind::Refused, side, option, {}};
}

void CTelnetCodec::Refuse(Side side, quint8 option, quint8 answer, QByteArray& reply)
{
    bool& refused = (side == Side::Ours ? m_refusedOurs : m_refusedTheirs)[option];
    if (!refused)
        AppendCommand(reply, answer, option);
    refused = true;
}

QByteArray CTelnetCodec::Encode(const QByteArray& bytes) const
{
    const bool binary = Agreed(Side::Ours, kBinary);
    QByteArray encoded;
    encoded.reserve(bytes.size() + 4);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        encoded += c;
        if (quint8(c) == kIac)
            encoded += c;
        else if (c == '\r' && !binary && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
            encoded += '\0';
    }
    return encoded;
}
