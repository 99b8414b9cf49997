#include "remote/rigprotocol.h"

#include <array>
#include <cmath>

namespace {

QByteArray Report(RigStatus status) { return "RPRT " + QByteArray::number(int(status)); }

QByteArray PlainReply(const RigAnswer& answer)
{
    if (answer.status == RigStatus::Ok && answer.names)
        return *answer.names + '\n' + (answer.statusAfterNames ? StatusLine(answer.status) : QByteArray());
    if (answer.status != RigStatus::Ok || answer.values.isEmpty())
        return StatusLine(answer.status);
    if (answer.values.size() == 1)
        return answer.values.front().value + '\n';
    QByteArray reply;
    for (const RigValue& value : answer.values)
        reply.append(value.value).append('\n');
    return reply;
}

// The command as received under its long name, any values as "label: value",
// and the status, each record followed by the separator; the reply always
// ends its line. A list of names ends a line of its own whatever the
// separator, as rigctld lays it out.
QByteArray ExtendedReply(const RigRequest& request, const RigAnswer& answer)
{
    QByteArray reply;
    const char separator = request.separator;
    if (!answer.longName.isEmpty()) {
        reply.append(answer.longName).append(':');
        for (const QByteArray& arg : request.args)
            reply.append(' ').append(arg);
        reply.append(separator);
    }
    if (answer.status == RigStatus::Ok && answer.names)
        reply.append(*answer.names).append('\n');
    if (answer.status == RigStatus::Ok) {
        for (const RigValue& value : answer.values) {
            if (!value.label.isEmpty())
                reply.append(value.label).append(": ");
            reply.append(value.value).append(separator);
        }
    }
    return reply.append(StatusLine(answer.status));
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

QByteArray FormatRigAnswer(const RigRequest& request, const RigAnswer& answer)
{
    return request.separator ? ExtendedReply(request, answer) : PlainReply(answer);
}

// Sent after nearly every command: each status's line is made once.
QByteArray StatusLine(RigStatus status)
{
    static const std::array<QByteArray, 12> lines = [] {
        std::array<QByteArray, 12> made;
        for (size_t i = 0; i < made.size(); ++i)
            made[i] = Report(RigStatus(-int(i))) + '\n';
        return made;
    }();
    const size_t index = size_t(-int(status));
    return index < lines.size() ? lines[index] : Report(status) + '\n';
}
