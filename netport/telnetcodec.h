#pragma once
// The telnet layer of an RFC 2217 connection, fed byte by byte: data,
// IAC, a verb and its option, a sub-negotiation. A sequence split across
// reads is ordinary input. Options are kept per side (what we do, what the
// far end does); one we do not support is refused once, and a refusal is
// never answered with a refusal, so no two ends can loop.
//
// We do BINARY and COM-PORT-OPTION and ask the far end to do BINARY;
// SUPPRESS-GO-AHEAD is agreed both ways when offered; ECHO and everything
// else is refused.
#include <QByteArray>
#include <QList>
#include <array>

namespace telnet {
constexpr quint8 kIac = 255, kDont = 254, kDo = 253, kWont = 252, kWill = 251, kSb = 250, kSe = 240;
constexpr quint8 kBinary = 0, kEcho = 1, kSuppressGoAhead = 3, kComPort = 44;
} // namespace telnet

class CTelnetCodec {
public:
    enum class Side { Ours, Theirs };
    struct Event {
        enum class Kind { Agreed, Refused, ComPort };
        Kind kind;
        Side side = Side::Ours;  // whose option was agreed or refused
        quint8 code = 0;         // the option, or the COM-PORT-OPTION command
        QByteArray value;        // what a COM-PORT-OPTION command carried
        bool operator==(const Event& other) const;
    };

    // The requests that open the session.
    QByteArray Start();
    // Bytes from the far end: serial data is appended to `data`, answers the
    // far end is owed to `reply`, and what was agreed, refused or reported
    // comes back as events, in order.
    QList<Event> Feed(const QByteArray& bytes, QByteArray& data, QByteArray& reply);
    // The same, the events appended to `events`.
    void Feed(QByteArrayView bytes, QByteArray& data, QByteArray& reply, QList<Event>& events);
    // Serial data as it travels to the far end.
    QByteArray Encode(const QByteArray& bytes) const;

    bool Agreed(Side side, quint8 option) const;
    // The far end has said yes or no to the COM-PORT-OPTION Start() offered.
    bool ComPortAnswered() const { return m_ours[telnet::kComPort] != Q::WantYes; }

private:
    enum class Q : quint8 { No, WantYes, Yes };
    enum class State { Data, Iac, Verb, Sub, SubIac };

    void FeedByte(quint8 byte, QByteArray& data, QByteArray& reply, QList<Event>& events);
    void DataByte(quint8 byte, QByteArray& data);
    void IacByte(quint8 byte, QByteArray& data);
    void SubByte(quint8 byte);
    void AddSub(quint8 byte);
    void SubIacByte(quint8 byte, QByteArray& data, QList<Event>& events);
    void Verb(quint8 verb, quint8 option, QByteArray& reply, QList<Event>& events);
    void Turn(Side side, quint8 option, bool on, quint8 answer, QByteArray& reply, QList<Event>& events);
    void Refuse(Side side, quint8 option, quint8 answer, QByteArray& reply);
    void EndSub(QList<Event>& events);
    std::array<Q, 256>& Table(Side side) { return side == Side::Ours ? m_ours : m_theirs; }

    State m_state = State::Data;
    quint8 m_verb = 0;
    bool m_afterCr = false;
    QByteArray m_sub;
    bool m_subTooLong = false;
    std::array<Q, 256> m_ours{};
    std::array<Q, 256> m_theirs{};
    std::array<bool, 256> m_refusedOurs{};
    std::array<bool, 256> m_refusedTheirs{};
};

Q_DECLARE_TYPEINFO(CTelnetCodec::Event, Q_RELOCATABLE_TYPE);
