#include "channeleditor/slotedits.h"

#include "channeleditor/channelcsv.h"

QMap<int, ChannelSlot> ClearedSlots(const QList<int>& which)
{
    QMap<int, ChannelSlot> cleared;
    for (int slot : which)
        cleared[slot] = NeverStoredSlot();
    return cleared;
}

QMap<int, ChannelSlot> PastedSlots(const QByteArray& csv, int first, QString& why)
{
    const ChannelRows rows = ReadChannelRows(csv);
    if (!rows.problems.isEmpty()) {
        why = QStringLiteral("The clipboard does not hold channel rows: %1").arg(rows.problems.front());
        return {};
    }
    if (rows.rows.isEmpty()) {
        why = QStringLiteral("The clipboard holds no channel rows.");
        return {};
    }
    if (first + rows.rows.size() > kChannelCount) {
        why = QStringLiteral("%1 rows from slot %2 on would run past slot 299.").arg(rows.rows.size()).arg(first);
        return {};
    }
    QMap<int, ChannelSlot> pasted;
    int slot = first;
    for (const auto& row : rows.rows)
        pasted[slot++] = row.second;
    return pasted;
}
