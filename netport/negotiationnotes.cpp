#include "netport/negotiationnotes.h"

#include <utility>

#include "netport/comportoption.h"

namespace {

QString OptionName(quint8 option)
{
    switch (option) {
    case telnet::kBinary: return QStringLiteral("BINARY");
    case telnet::kSuppressGoAhead: return QStringLiteral("SUPPRESS-GO-AHEAD");
    case telnet::kComPort: return QStringLiteral("COM-PORT-OPTION");
    default: return QString::number(option);
    }
}

} // namespace

QString DescribeTelnetEvent(const CTelnetCodec::Event& event)
{
    using Kind = CTelnetCodec::Event::Kind;
    if (event.kind == Kind::ComPort) {
        const QString words = DescribeComPortReply(event.code, event.value);
        return words.isEmpty() ? QString() : QStringLiteral("far end reports ") + words;
    }
    return QStringLiteral("telnet %1 %2 %3")
        .arg(event.side == CTelnetCodec::Side::Ours ? QStringLiteral("we") : QStringLiteral("far end"),
             event.kind == Kind::Agreed ? QStringLiteral("do") : QStringLiteral("do not"), OptionName(event.code));
}

QStringList CNegotiationNotes::Add(const QList<CTelnetCodec::Event>& events)
{
    QStringList lines;
    for (const CTelnetCodec::Event& event : events) {
        const QString words = DescribeTelnetEvent(event);
        if (words.isEmpty())
            continue;
        if (m_told < kOneByOne) {
            ++m_told;
            lines << words;
        } else {
            ++m_counted;
        }
    }
    if (m_counted > 0 && (!m_sinceSummary.isValid() || m_sinceSummary.hasExpired(kSummaryMs)))
        lines += Flush();
    return lines;
}

QStringList CNegotiationNotes::Flush()
{
    if (m_counted == 0)
        return {};
    m_sinceSummary.start();
    return {QStringLiteral("telnet: %1 more option changes and reports from the far end, not traced one by one")
                .arg(std::exchange(m_counted, 0))};
}
