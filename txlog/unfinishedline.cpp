#include "txlog/unfinishedline.h"

#include "txlog/transmissioncsv.h"

const char kKilledReason[] = "the program was killed (end time unknown)";
const char kEndedByNextStart[] = "ended by the next start after the program was killed";

namespace {

constexpr int kLastComma = 7;  // eight fields
constexpr int kStartCommas = 5;  // the five fields known when it began, and the comma after them

// Where the last line starts, and how far into it the file goes.
struct LastLine {
    qsizetype start = 0;
    int commas = 0;
    bool inQuotes = false;
    bool complete = true;
};

LastLine ScanLastLine(const QByteArray& text)
{
    LastLine last;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            last.inQuotes = !last.inQuotes;  // a doubled quote toggles twice
        } else if (!last.inQuotes && c == ',') {
            ++last.commas;
        } else if (!last.inQuotes && c == '\n') {
            last = LastLine{i + 1};
            continue;
        }
        last.complete = false;
    }
    return last;
}

} // namespace

QDateTime OpenStartOf(const QByteArray& text)
{
    const LastLine last = ScanLastLine(text);
    if (last.complete || last.inQuotes || last.commas != kStartCommas || !text.endsWith(','))
        return QDateTime();
    const QByteArray line = text.mid(last.start);
    return ParseUtc(QByteArrayView(line).first(line.indexOf(',')));
}

QByteArray CompletionOf(const QByteArray& text)
{
    const LastLine last = ScanLastLine(text);
    if (last.complete)
        return QByteArray();
    if (!last.inQuotes && text.endsWith('\r'))
        return "\n";
    QByteArray completion = last.inQuotes ? "\"" : "";
    const QByteArray header(kTransmissionsHeader);
    const QByteArray cut = text.mid(last.start);
    if (last.start == 0 && header.startsWith(cut))
        return header.mid(cut.size());
    // A start written whole has five commas and needs two more; one cut
    // short gets its missing fields empty, and the reader passes it over.
    if (last.commas < kLastComma)
        completion += QByteArray(kLastComma - last.commas, ',') + kKilledReason;
    return completion + "\r\n";
}
