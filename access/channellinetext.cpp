#include "access/channellinetext.h"

#include <QListWidget>

#include "panel/combocontrols.h"

QString ReadableChannelLine(const CString& line)
{
    const qsizetype end = line.indexOf('\0');
    QString text = ToWidgetText(end < 0 ? line : line.left(end));
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return text.simplified();
}

namespace {
void GiveReadableText(SimpleCombo& channels, int first, int last)
{
    for (int row = first; row <= last; ++row)
        channels.List()->item(row)->setData(Qt::AccessibleTextRole,
                                            ReadableChannelLine(channels.ItemText(row)));
}
} // namespace

void ReadChannelLinesAsText(SimpleCombo& channels)
{
    GiveReadableText(channels, 0, channels.Count() - 1);
    QObject::connect(channels.List()->model(), &QAbstractItemModel::rowsInserted, &channels,
                     [&channels](const QModelIndex&, int first, int last) {
                         GiveReadableText(channels, first, last);
                     });
}
