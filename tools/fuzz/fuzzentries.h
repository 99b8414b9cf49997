#pragma once
// The inputs that come from outside the program, a line from the radio, the
// bytes of the channel file, a rig-control client's bytes, a CSV channel
// list to import, a network radio's telnet stream, a call to the flrig
// server and the HTTP it comes in, and the web panel's operator file, each with what
// must hold after any bytes at all went through it. The fuzz targets abort on a broken rule; the replay
// test reports it. Each check returns an empty string when all is well.
#include <QByteArray>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "channeleditor/channelcsv.h"
#include "channeleditor/channelslot.h"
#include "channels/channelfile.h"
#include "channels/channeltable.h"
#include "link/commandchannel.h"
#include "link/reportedstate.h"
#include "netport/farendinput.h"
#include "netport/negotiationnotes.h"
#include "netport/telnetcodec.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "remote/browserguard.h"
#include "remote/flrigconnection.h"
#include "remote/flrigmethods.h"
#include "remote/flrigrequest.h"
#include "remote/rigcommands.h"
#include "remote/riglinebuffer.h"
#include "web/operatorname.h"
#include "web/operatorstore.h"
#include "support/fakerigseam.h"
#include "support/programstate.h"

namespace fuzzentry {

// Bytes from..from+length of the input, without a copy.
inline QByteArray Piece(const QByteArray& bytes, qsizetype from, qsizetype length)
{
    return QByteArray::fromRawData(bytes.constData() + from, qMax<qsizetype>(0, qMin(length, bytes.size() - from)));
}

inline QString SelectionProblem(const char* name, const CComboBox& list)
{
    const int sel = list.GetCurSel();
    if (sel >= -1 && sel < list.GetCount())
        return QString();
    return QStringLiteral("%1 list selects %2 of %3 items").arg(QLatin1String(name)).arg(sel).arg(list.GetCount());
}

// The display is DecodeFrequency's value with three decimals; seven digits
// worth at most 15 each by their low bits cannot reach 166667 kHz.
inline QString FrequencyProblem(CTavrinView& view)
{
    const double decoded = view.DecodeFrequency();
    if (g_dLastFreq != decoded)
        return QStringLiteral("g_dLastFreq %1, decoded %2").arg(g_dLastFreq).arg(decoded);
    if (view.m_strFreq != FormatText("%0.3f", decoded))
        return QStringLiteral("display \"%1\" for %2 kHz").arg(QString::fromLatin1(view.m_strFreq)).arg(decoded);
    static const QRegularExpression shape(QStringLiteral("^[0-9]{1,6}\\.[0-9]{3}$"));
    if (!shape.match(QString::fromLatin1(view.m_strFreq)).hasMatch() || decoded > 166666.66)
        return QStringLiteral("display \"%1\" out of range").arg(QString::fromLatin1(view.m_strFreq));
    return QString();
}

// The bytes arrive in the receive buffer and are parsed as a line.
inline QString ParseStatusBytes(CTavrinView& view, const QByteArray& bytes)
{
    ResetProgramGlobals(); // a fresh run, so a failure replays on its own
    g_strReceive.append(bytes);
    const CString line = g_strReceive;
    view.ParseStatus();
    if (!g_strReceive.isEmpty())
        return QStringLiteral("receive buffer left with %1 characters").arg(g_strReceive.size());
    if (view.m_strStatus != line)
        return QStringLiteral("status box does not show the line");
    if (g_szReportDigits[7] != '\0')
        return QStringLiteral("report digits lost their terminating NUL");
    QString problem = FrequencyProblem(view);
    if (problem.isEmpty())
        problem = SelectionProblem("mode", view.m_cbMode);
    if (problem.isEmpty())
        problem = SelectionProblem("AGC", view.m_cbAgc);
    return problem;
}

// A slot once read has 29 description characters without a line feed, then
// the line feed; its list line is the 23-character prefix and those 30 bytes.
inline QString SlotProblem(int slot)
{
    const char* desc = g_chChanDesc[slot];
    if (desc[kDescLength - 1] != '\n')
        return QStringLiteral("slot %1: description position 29 is %2, not a line feed").arg(slot).arg(int(desc[29]));
    if (std::memchr(desc, '\n', kDescLength - 1))
        return QStringLiteral("slot %1: line feed inside the description").arg(slot);
    // One line's room, made once and used for every slot.
    static QByteArray line;
    line.resize(0);
    AppendChannelLine(line, slot);
    if (line.size() != 53)
        return QStringLiteral("slot %1: channel line of %2 bytes").arg(slot).arg(line.size());
    if (QByteArrayView(line).sliced(23) != QByteArrayView(desc, kDescLength))
        return QStringLiteral("slot %1: channel line does not end in the description").arg(slot);
    return QString();
}

// Bytes as a C string literal would write them, for a message.
inline QString Escaped(const QByteArray& bytes)
{
    QString text;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        text += u >= 32 && u < 127 && c != '\\' ? QString(QLatin1Char(c)) : QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return text;
}

inline QString FirstDifference(const QByteArray& a, const QByteArray& b)
{
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    const qsizetype from = std::max<qsizetype>(0, i - 24);
    return QStringLiteral("written again differs at byte %1 of %2:").arg(i).arg(a.size()) + QStringLiteral("\n  first  \"")
        + Escaped(a.mid(from, 48)) + QStringLiteral("\"\n  second \"") + Escaped(b.mid(from, 48)) + QStringLiteral("\"");
}

// Whether every slot from `first` on holds what a file that ends before it
// gives: stars for a description and nothing else. Compared a range at a
// time, where each slot's fields lie side by side.
inline bool PastTheEndFrom(int first)
{
    static const std::vector<char> stars = [] {
        std::vector<char> descs(size_t(kChannelCount) * kDescLength, '*');
        for (int slot = 0; slot < kChannelCount; ++slot)
            descs[size_t(slot) * kDescLength + kDescLength - 1] = '\n';
        return descs;
    }();
    static const std::vector<char> zeros(kChannelCount * sizeof(double));
    const size_t count = size_t(kChannelCount - first);
    return std::memcmp(g_chChanDesc[first], stars.data(), count * kDescLength) == 0
        && std::memcmp(&g_dChanFreq[first], zeros.data(), count * sizeof(double)) == 0
        && std::memcmp(&g_chChanMode[first], zeros.data(), count) == 0
        && std::memcmp(&g_chChanAgc[first], zeros.data(), count) == 0
        && std::memcmp(&g_chChanInput[first], zeros.data(), count) == 0
        && std::memcmp(&g_chChanRoute[first], zeros.data(), count) == 0;
}

// The slots the bytes reached, with two past them: every later slot holds
// what a file that ends there gives, so reading it back from the shorter
// file is the same test as from the whole one, for a fraction of the work.
// A range past the end stays so when it shrinks, so its start is bisected.
inline int SlotsReached()
{
    int low = 0;
    int high = kChannelCount;  // PastTheEndFrom(high) holds: an empty range
    while (low < high) {
        const int middle = (low + high) / 2;
        if (PastTheEndFrom(middle))
            high = middle;
        else
            low = middle + 1;
    }
    return std::min(high + 2, kChannelCount);
}

// Whatever the bytes were, the table they give is written as a file that
// reads back to the very same file, every record in its own slot: one save
// never changes what the next load sees, nor makes it keep a suspect copy.
inline QString ReadChannelBytes(const QByteArray& bytes)
{
    ResetProgramGlobals();
    ReadChannelTable(bytes);
    const int reached = SlotsReached();
    for (int slot = 0; slot < reached; ++slot) {
        const QString problem = SlotProblem(slot);
        if (!problem.isEmpty())
            return problem;
    }
    const QByteArray written = FirstSlotsFileBytes(reached);
    ResetProgramGlobals();
    if (!ReadChannelTable(written))
        return QStringLiteral("the file as written reads back with a record out of its slot");
    const QByteArray rewritten = FirstSlotsFileBytes(reached);
    return written == rewritten ? QString() : FirstDifference(written, rewritten);
}

// Feeds a client's bytes to a line buffer in pieces that end at the given
// places, as the network may cut them, and hands each line to `take`; a
// false from it stops the feed, and the whole call returns false.
template <size_t N, typename Take>
bool FeedRigLines(const QByteArray& bytes, std::array<qsizetype, N> ends, Take take)
{
    std::sort(ends.begin(), ends.end());
    CRigLineBuffer buffer;
    qsizetype from = 0;
    for (qsizetype end : ends) {
        buffer.Append(Piece(bytes, from, end - from));
        from = end;
        while (auto line = buffer.Next())
            if (!take(*line))
                return false;
    }
    return true;
}

// A reply ends its line; its status, the last "RPRT" in it (an echoed
// argument may hold the word too), is one the server gives.
inline QString RigReplyProblem(const QByteArray& reply)
{
    if (!reply.isEmpty() && !reply.endsWith('\n'))
        return QStringLiteral("a reply does not end its line");
    const qsizetype at = reply.lastIndexOf("RPRT ");
    if (at < 0)
        return QString();
    static const char* const known[] = {"0\n", "-1\n", "-4\n", "-5\n", "-6\n", "-9\n", "-11\n"};
    const QByteArrayView status = QByteArrayView(reply).sliced(at + 5);
    if (std::none_of(std::begin(known), std::end(known), [status](const char* word) { return status == word; }))
        return QStringLiteral("a reply ends \"%1\"").arg(Escaped(reply.mid(at)));
    return QString();
}

// Only a frequency in hertz with one decimal, one of the four modes, a key
// or an unkey: what the rig-control server may ask of the panel.
inline bool IsAllowedRigCall(QByteArrayView call)
{
    if (call == "key" || call == "unkey")
        return true;
    if (call.size() == 6 && call.startsWith("mode ") && call[5] >= '1' && call[5] <= '4')
        return true;
    if (!call.startsWith("frequency "))
        return false;
    // Whole hertz, a point and one decimal.
    const QByteArrayView number = call.sliced(10);
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const qsizetype point = number.size() - 2;
    return point > 0 && number[point] == '.' && isDigit(number[point + 1])
        && std::all_of(number.begin(), number.begin() + point, isDigit);
}

inline QString RigCallProblem(const QByteArrayList& calls)
{
    for (const QByteArray& call : calls)
        if (!IsAllowedRigCall(call))
            return QStringLiteral("the panel was asked for \"%1\"").arg(Escaped(call));
    return QString();
}

// However a client's bytes are cut by the network, they make the same
// lines, and so get the same replies and ask the same of the panel; every
// reply is a whole line with a status the protocol knows, and nothing but a
// frequency, one of the four modes, a key or an unkey reaches the panel.
inline QString RigClientBytes(const QByteArray& bytes)
{
    QList<CRigLineBuffer::Line> lines;
    lines.reserve(bytes.count('\n') + 2);  // at most one more: the too-long rest
    FeedRigLines(bytes, std::array{bytes.size()}, [&lines](CRigLineBuffer::Line& line) {
        lines << std::move(line);
        return true;
    });
    // The same lines in pieces, each compared as it comes, none kept.
    qsizetype next = 0;
    const qsizetype third = bytes.size() / 3;
    const bool same = FeedRigLines(bytes, std::array{third, third + 1, 2 * third, bytes.size()},
                                   [&lines, &next](const CRigLineBuffer::Line& line) {
                                       const CRigLineBuffer::Line* whole = next < lines.size() ? &lines[next++] : nullptr;
                                       return whole && whole->tooLong == line.tooLong && whole->text == line.text;
                                   });
    if (!same || next != lines.size())
        return QStringLiteral("cut into pieces, the bytes make other lines");

    FakeRigSeam rig;
    rig.frequencyHz = 7035250;
    rig.mode = '2';
    RigClientState client;
    for (const CRigLineBuffer::Line& line : lines) {
        if (line.tooLong)
            continue;  // answered with the invalid-argument status, and nothing asked of the panel
        for (const QByteArray& reply : AnswerRigCommands(line.text, rig, client)) {
            const QString problem = RigReplyProblem(reply);
            if (!problem.isEmpty())
                return problem;
        }
    }
    return RigCallProblem(rig.calls);
}

// Rows of an import as the file would hold them: saved and read again,
// each comes back the same, in its own place. The rows go into the first
// slots in turn, not their own: a record keeps the same whatever its number,
// and a row for slot 299 then costs one record, not a whole file. Two
// never-stored slots follow, as in a file that ends there.
inline QString FileKeepsRows(const ChannelRows& imported)
{
    const auto& values = imported.rows;  // each row's slot and value
    ResetProgramGlobals();
    const int rows = int(values.size());
    for (int slot = 0; slot < rows; ++slot)
        PutSlotInTable(slot, values[slot].second);
    const int written = std::min(rows + 2, kChannelCount);
    const QByteArray file = FirstSlotsFileBytes(written);
    ResetProgramGlobals();
    if (!ReadChannelTable(file))
        return QStringLiteral("imported rows saved put a record out of its slot");
    for (int slot = 0; slot < written; ++slot)
        if (SlotFromTable(slot) != (slot < rows ? values[slot].second : NeverStoredSlot()))
            return QStringLiteral("row %1 imported, saved and read again is not the same").arg(slot + 1);
    return QString();
}

// Any bytes as a CSV file to import. A text with a bad row must say so and
// name its line; a text without one gives rows the channel file keeps
// exactly, and exported again those rows read back the same.
inline QString ImportCsvBytes(const QByteArray& bytes)
{
    const ChannelRows rows = ReadChannelRows(bytes);
    for (const QString& problem : rows.problems)
        if (!problem.startsWith(QLatin1String("line ")))
            return QStringLiteral("a problem without its line: %1").arg(problem);
    if (!rows.problems.isEmpty())
        return QString();
    ChannelSlots table;
    table.fill(NeverStoredSlot());
    for (const auto& [slot, value] : rows.rows) {
        if (!IsChannel(slot))
            return QStringLiteral("a row for slot %1").arg(slot);
        table[slot] = value;
    }
    // The stored slots alone: a never-stored one exports as its number and
    // nothing else, which the import reads as the same never-stored slot.
    const ChannelRows again = ReadChannelRows(ChannelsAsCsv(table, false));
    if (!again.problems.isEmpty())
        return QStringLiteral("exported rows do not import: %1").arg(again.problems.front());
    for (const auto& [slot, value] : again.rows)
        if (value != table[slot])
            return QStringLiteral("slot %1 exported and imported again is not the same").arg(slot);
    return FileKeepsRows(rows);
}

// What a telnet stream gives: serial data, answers owed, events.
struct TelnetSession {
    QByteArray data;
    QByteArray reply;
    QList<CTelnetCodec::Event> events;
};

inline TelnetSession RunTelnet(const QByteArray& bytes, qsizetype piece)
{
    CTelnetCodec codec;
    codec.Start();
    TelnetSession session;
    // Room made once: the data and the answers are never longer than the
    // stream, and a stream agrees or refuses a few options.
    session.data.reserve(bytes.size());
    session.reply.reserve(bytes.size());
    session.events.reserve(8);
    // Pieces that share the input's bytes: a copy of each would cost more
    // than the codec's work on it.
    for (qsizetype from = 0; from < bytes.size(); from += piece)
        codec.Feed(QByteArrayView(bytes).sliced(from, std::min(piece, bytes.size() - from)), session.data, session.reply,
                   session.events);
    return session;
}

// Answers are whole commands, and an option we do not know is refused at
// most once a side, whatever the far end repeats: two ends cannot loop.
inline QString TelnetReplyProblem(const QByteArray& reply)
{
    if (reply.size() % 3 != 0)
        return QStringLiteral("an answer of %1 bytes is not whole commands").arg(reply.size());
    // A refusal seen, by its verb (DONT or WONT) and option.
    bool refused[2][256] = {};
    for (qsizetype at = 0; at < reply.size(); at += 3) {
        const auto verb = quint8(reply[at + 1]);
        const auto option = quint8(reply[at + 2]);
        if (quint8(reply[at]) != telnet::kIac || verb < telnet::kWill)
            return QStringLiteral("an answer \"%1\" is not a telnet command").arg(Escaped(reply.mid(at, 3)));
        const bool known = option == telnet::kBinary || option == telnet::kSuppressGoAhead || option == telnet::kComPort;
        const bool refusal = verb == telnet::kDont || verb == telnet::kWont;
        if (!known && refusal && !refused[verb == telnet::kDont][option])
            refused[verb == telnet::kDont][option] = true;
        else if (!known)
            return QStringLiteral("option %1 refused twice or agreed").arg(option);
    }
    return QString();
}

// The part of a stream the network port keeps: before the port has settled,
// at most the receive path's limit; after, what the telnet layer gives.
struct FarEndRun {
    QByteArray heldAtOpen;
    QByteArray takenOpen;
    QByteArray reply;
    int notes = 0;
    QString problem;
};

inline QString FarEndBoundsProblem(const CFarEndInput& input)
{
    if (input.Held().size() > CFarEndInput::kMostHeld)
        return QStringLiteral("%1 characters wait for the panel").arg(input.Held().size());
    if (input.Wanted() > CFarEndInput::kPiece || (input.IsOpen() && input.Held().size() + input.Wanted() > CFarEndInput::kMostHeld))
        return QStringLiteral("%1 bytes wanted with %2 waiting").arg(input.Wanted()).arg(input.Held().size());
    return QString();
}

// Pieces as the port takes them from the socket; the panel takes what waits
// only every other time, so the port meets a full buffer too.
inline FarEndRun RunFarEnd(const QByteArray& bytes, qsizetype opensAt)
{
    CFarEndInput input(true);
    CNegotiationNotes notes;
    FarEndRun run;
    QElapsedTimer took;
    took.start();
    input.Start();
    for (qsizetype from = 0, turn = 0; from < bytes.size() && run.problem.isEmpty(); ++turn) {
        if (!input.IsOpen() && from >= opensAt) {
            run.heldAtOpen = input.Held();
            input.SetOpen();
        }
        if (input.IsOpen() && (turn % 2 == 0 || input.Wanted() == 0))
            run.takenOpen += input.TakeData();
        const qsizetype piece = input.IsOpen() ? input.Wanted() : qMin(input.Wanted(), opensAt - from);
        const CFarEndInput::Taken taken = input.Take(Piece(bytes, from, piece));
        from += piece;
        run.reply += taken.reply;
        run.notes += int(notes.Add(taken.events).size());
        run.problem = FarEndBoundsProblem(input);
    }
    if (!input.IsOpen())
        run.heldAtOpen = input.Held();
    else
        run.takenOpen += input.TakeData();
    run.notes += int(notes.Flush().size());
    // A summary a second at most: a slow run may have room for more.
    run.notes -= int(took.elapsed() / CNegotiationNotes::kSummaryMs);
    return run;
}

// Whatever comes before the port settles, the port keeps the first of it up
// to the limit and answers as the telnet layer does; once open, that and
// every data byte after it reach the panel; the trace tells a flood of requests in a few lines.
// The first byte says where in the stream the port settles, so the fuzzer
// steers that too.
inline QString FarEndInputBytes(const QByteArray& bytes)
{
    const qsizetype opensAt = bytes.isEmpty() ? 0 : bytes.size() * quint8(bytes[0]) / 256;
    CTelnetCodec codec;
    codec.Start();
    QByteArray before, after, reply;
    QList<CTelnetCodec::Event> events;
    codec.Feed(QByteArrayView(bytes).first(opensAt), before, reply, events);
    codec.Feed(QByteArrayView(bytes).sliced(opensAt), after, reply, events);
    const FarEndRun run = RunFarEnd(bytes, opensAt);
    if (!run.problem.isEmpty())
        return run.problem;
    if (run.heldAtOpen != before.left(CFarEndInput::kMostHeld))
        return QStringLiteral("before the port settled, other data was kept");
    if (!run.takenOpen.startsWith(run.heldAtOpen) || QByteArrayView(run.takenOpen).sliced(run.heldAtOpen.size()) != after)
        return QStringLiteral("once open, the panel got other data");
    if (run.reply != reply)
        return QStringLiteral("the port answers otherwise than the telnet layer");
    if (run.notes > CNegotiationNotes::kOneByOne + 2)
        return QStringLiteral("%1 trace lines for the telnet layer").arg(run.notes);
    return QString();
}

// However the network cuts the stream, the same data, answers and events;
// no more data than bytes; and data sent back through the encoder reads the
// same at the far end. The network port keeps within its bounds.
inline QString TelnetBytes(const QByteArray& bytes)
{
    const TelnetSession whole = RunTelnet(bytes, qMax<qsizetype>(1, bytes.size()));
    // Byte by byte splits every sequence everywhere; thirds, where a piece
    // holds whole sequences and the ends of others.
    for (const qsizetype piece : {qsizetype(1), qMax<qsizetype>(1, bytes.size() / 3)}) {
        const TelnetSession cut = RunTelnet(bytes, piece);
        if (cut.data != whole.data || cut.reply != whole.reply || !(cut.events == whole.events))
            return QStringLiteral("cut into pieces of %1, the stream reads otherwise").arg(piece);
    }
    if (whole.data.size() > bytes.size())
        return QStringLiteral("more data than bytes");
    const QString problem = TelnetReplyProblem(whole.reply);
    if (!problem.isEmpty())
        return problem;
    CTelnetCodec sender;
    CTelnetCodec receiver;
    QByteArray unused, echoed;
    QList<CTelnetCodec::Event> events;
    sender.Feed(QByteArrayView("\xff\xfd\x00", 3), unused, unused, events);    // the far end lets us send in binary
    receiver.Feed(QByteArrayView("\xff\xfb\x00", 3), unused, unused, events);  // and we take it so
    receiver.Feed(sender.Encode(whole.data), echoed, unused, events);
    if (echoed != whole.data)
        return QStringLiteral("data sent through the encoder reads otherwise");
    return FarEndInputBytes(bytes);
}

// Any bytes as what a station program sends the flrig server: read the same
// whole and a byte at a time (the same requests, the same refusal), no body
// past the connection's limit, and every request's headers looked over for
// a web page's signs as the server does.
struct FlrigRequests {
    QList<FlrigRequest> requests;
    CFlrigRequestReader::Problem problem = CFlrigRequestReader::Problem::None;
};

inline FlrigRequests ReadFlrigRequests(const QByteArray& bytes, qsizetype piece)
{
    CFlrigRequestReader reader(CFlrigConnection::kMaxReadBody);
    FlrigRequests read;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        reader.Feed(Piece(bytes, at, piece));
        while (const std::optional<FlrigRequest> request = reader.Next())
            read.requests.append(*request);
    }
    read.problem = reader.Error();
    return read;
}

inline bool SameFlrigRequest(const FlrigRequest& a, const FlrigRequest& b)
{
    return a.posted == b.posted && a.keepAlive == b.keepAlive && a.headers == b.headers && a.body == b.body;
}

inline QString FlrigRequestBytes(const QByteArray& bytes)
{
    const FlrigRequests whole = ReadFlrigRequests(bytes, qMax<qsizetype>(1, bytes.size()));
    const FlrigRequests byByte = ReadFlrigRequests(bytes, 1);
    if (whole.problem != byByte.problem)
        return QStringLiteral("cut otherwise, the bytes are refused otherwise");
    if (!std::equal(whole.requests.begin(), whole.requests.end(), byByte.requests.begin(), byByte.requests.end(),
                    &SameFlrigRequest))
        return QStringLiteral("cut otherwise, the bytes read as other requests");
    for (const FlrigRequest& request : whole.requests) {
        if (request.body.size() > CFlrigConnection::kMaxReadBody)
            return QStringLiteral("a body of %1 bytes taken").arg(request.body.size());
        static_cast<void>(WebPageSign(request.headers));
    }
    return QString();
}

// Any bytes as the body of a call to the flrig server: read as a call with
// a method, or refused with a reason; read the same with Hamlib's client id
// before it; answered with a reply that is well-formed XML ending its line;
// and nothing but a frequency, one of the four modes, a key or an unkey
// reaches the panel.
inline QString XmlRpcBodyProblem(const XmlRpcRequest& request)
{
    if (!request.call)
        return request.problem.isEmpty() ? QStringLiteral("refused without a reason") : QString();
    return request.call->method.isEmpty() ? QStringLiteral("a call without a method") : QString();
}

// A body that opens as only a document's start may, with a byte order mark
// or an XML declaration, can have nothing put before it: a client id is
// written before a body that does neither. The declaration's name ends in
// any blank XML allows, a line end as well as a space.
inline bool OpensItsOwnDocument(QByteArrayView body)
{
    if (body.startsWith("\xef\xbb\xbf"))
        return true;
    if (body.size() < 6 || !body.startsWith("<?xml"))
        return false;
    const char after = body[5];
    return after == ' ' || after == '\t' || after == '\r' || after == '\n';
}

inline QString XmlRpcBytes(const QByteArray& bytes)
{
    const XmlRpcRequest request = ReadXmlRpcCall(bytes);
    QString problem = XmlRpcBodyProblem(request);
    if (!problem.isEmpty())
        return problem;
    if (OpensItsOwnDocument(bytes) || bytes.contains("<?clientid="))
        return QString();
    const XmlRpcRequest tagged = ReadXmlRpcCall("<?xml version=\"1.0\"?>\r\n<?clientid=\"hamlib(1)\"?>\r\n" + bytes);
    if (bool(tagged.call) != bool(request.call) || (request.call && tagged.call->method != request.call->method))
        return QStringLiteral("Hamlib's client id changes how the call reads");
    if (!request.call)
        return QString();
    FakeRigSeam rig;
    rig.frequencyHz = 7035250;
    rig.mode = '2';
    FlrigClient client;
    const QByteArray reply = FormatFlrigAnswer(RunFlrigCall(*request.call, rig, nullptr, client));
    if (!reply.endsWith('\n'))
        return QStringLiteral("a reply does not end its line");
    QXmlStreamReader xml(reply);
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return QStringLiteral("a reply is not well-formed: %1").arg(xml.errorString());
    return RigCallProblem(rig.calls);
}

// Any bytes as the operator file: refused whole, or a list of usable names,
// each once, with a role and a hash of ours. Written as a save writes it,
// the list reads back the same, and written again gives the same bytes.
inline QString OperatorEntriesProblem(const QList<OperatorEntry>& entries)
{
    QSet<QString> names;
    for (const OperatorEntry& entry : entries) {
        QString why;
        if (!IsUsableOperatorName(entry.name, why))
            return QStringLiteral("an operator \"%1\" was taken: %2").arg(entry.name, why);
        if (names.contains(entry.name))
            return QStringLiteral("operator \"%1\" was taken twice").arg(entry.name);
        names.insert(entry.name);
        if (!entry.hash.startsWith("$argon2id$"))
            return QStringLiteral("operator \"%1\" has a hash of another kind").arg(entry.name);
    }
    return QString();
}

inline QString OperatorFileBytes(const QByteArray& bytes)
{
    const std::optional<QList<OperatorEntry>> entries = OperatorsFromFileBytes(bytes);
    if (!entries)
        return QString();
    const QString problem = OperatorEntriesProblem(*entries);
    if (!problem.isEmpty())
        return problem;
    const QByteArray written = ::OperatorFileBytes(*entries);
    const std::optional<QList<OperatorEntry>> again = OperatorsFromFileBytes(written);
    if (!again || again->size() != entries->size())
        return QStringLiteral("the list as written does not read back whole");
    for (qsizetype i = 0; i < entries->size(); ++i) {
        const OperatorEntry& was = (*entries)[i];
        const OperatorEntry& is = (*again)[i];
        if (was.name != is.name || was.role != is.role || was.hash != is.hash)
            return QStringLiteral("operator \"%1\" written and read again is not the same").arg(was.name);
    }
    const QByteArray rewritten = ::OperatorFileBytes(*again);
    return written == rewritten ? QString() : FirstDifference(written, rewritten);
}

} // namespace fuzzentry
