#include "remote/rigprotocol.h"

#include <cmath>
#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

QByteArrayList Tokens(const QByteArray& line)
{
    QByteArrayList tokens;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        const qsizetype start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start)
            tokens << line.mid(start, i - start);
    }
    return tokens;
}

char SeparatorFor(char prefix)
{
    if (prefix == '+')
        return '\n';
    return std::strchr(";|,", prefix) ? prefix : 0;
}

QByteArray Report(RigStatus status) { return "RPRT " + QByteArray::number(int(status)); }

QByteArray PlainReply(const RigAnswer& answer)
{
    if (answer.status != RigStatus::Ok || answer.values.isEmpty())
        return StatusLine(answer.status);
    QByteArray reply;
    for (const RigValue& value : answer.values)
        reply += value.value + '\n';
    return reply;
}

// The command as received under its long name, any values as "label: value",
// and the status, each record followed by the separator; the reply always
// ends its line.
QByteArray ExtendedReply(const RigRequest& request, const RigAnswer& answer)
{
    QByteArray reply;
    const char separator = request.separator;
    if (!answer.longName.isEmpty()) {
        reply += answer.longName + ':';
        if (!request.args.isEmpty())
            reply += ' ' + request.args.join(' ');
        reply += separator;
    }
    if (answer.status == RigStatus::Ok) {
        for (const RigValue& value : answer.values)
            reply += (value.label.isEmpty() ? QByteArray() : value.label + ": ") + value.value + separator;
    }
    return reply + Report(answer.status) + '\n';
}

} // namespace

bool RigExpectation::MetBy(const CRigSeam& rig) const
{
    if (frequencyHz) {
        // The radio tunes in 10 Hz steps.
        const std::optional<qint64> reported = rig.ReportedFrequencyHz();
        if (!reported || std::fabs(double(*reported) - *frequencyHz) >= 10.0)
            return false;
    }
    if (mode && rig.ReportedMode() != *mode)
        return false;
    return !transmit || rig.ReportedTransmit() == *transmit;
}

std::optional<RigRequest> ParseRigLine(const QByteArray& line)
{
    QByteArrayList tokens = Tokens(line);
    if (tokens.isEmpty())
        return std::nullopt;
    RigRequest request;
    if (const char separator = SeparatorFor(tokens.first().front())) {
        request.separator = separator;
        tokens.first().remove(0, 1);
        if (tokens.first().isEmpty())
            tokens.removeFirst();
    }
    if (!tokens.isEmpty())
        request.command = tokens.takeFirst();
    request.args = tokens;
    return request;
}

QByteArray FormatRigAnswer(const RigRequest& request, const RigAnswer& answer)
{
    return request.separator ? ExtendedReply(request, answer) : PlainReply(answer);
}

QByteArray StatusLine(RigStatus status) { return Report(status) + '\n'; }
