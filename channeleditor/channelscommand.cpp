#include "channeleditor/channelscommand.h"

#include <QDir>
#include <cstdio>

#include "channeleditor/channelcsv.h"
#include "channeleditor/csvfile.h"
#include "channels/channelfile.h"
#include "channels/channelfilesave.h"
#include "panel/messagebox.h"

namespace {

void Tell(const QString& text)
{
    std::fprintf(stderr, "tavrin: %s\n", qPrintable(text));
    std::fflush(stderr);
}

void Say(const QString& text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

QString ChannelFilePath() { return QDir::current().absoluteFilePath(QString::fromLatin1(g_szChannelFile)); }

int Export(const ChannelsCommandLine& command)
{
    const ChannelFileLoad load = ReadChannelFileIntoTable();
    if (load == ChannelFileLoad::Missing || load == ChannelFileLoad::Unreadable) {
        Tell(QStringLiteral("%1 cannot be read; nothing was exported.").arg(ChannelFilePath()));
        return 1;
    }
    if (load == ChannelFileLoad::Misnumbered)
        Tell(QStringLiteral("some records of %1 do not carry their own channel numbers; the rows follow their "
                            "places in the file, as the panel reads them.").arg(ChannelFilePath()));
    QString why;
    if (!WriteCsvFile(command.csvPath, ChannelsAsCsv(SlotsFromTable(), command.allSlots), why)) {
        Tell(why);
        return 1;
    }
    if (command.csvPath != QLatin1String("-"))
        Say(QStringLiteral("Exported the %1 of %2 to %3.")
                .arg(command.allSlots ? QStringLiteral("300 slots") : QStringLiteral("stored slots"), ChannelFilePath(),
                     command.csvPath));
    return 0;
}

int Import(const ChannelsCommandLine& command)
{
    QString why;
    const std::optional<QByteArray> bytes = ReadCsvFile(command.csvPath, why);
    if (!bytes) {
        Tell(why + QStringLiteral("; nothing was imported."));
        return 1;
    }
    const ChannelRows rows = ReadChannelRows(*bytes);
    for (const QString& problem : rows.problems)
        Tell(QStringLiteral("%1: %2").arg(command.csvPath, problem));
    if (!rows.problems.isEmpty()) {
        Tell(QStringLiteral("nothing was imported."));
        return 1;
    }
    // A missing file is made anew, as the panel's first save makes it; one
    // that cannot be read is kept as it is by the save's own rules.
    ReadChannelFileIntoTable();
    const QMap<int, ChannelSlot> placed = PlacedBySlot(rows);
    for (auto it = placed.cbegin(); it != placed.cend(); ++it)
        PutSlotInTable(it.key(), it.value());
    if (!WriteChannelFile(ChannelFileBytes())) {
        Tell(QStringLiteral("%1 was not written; nothing was imported.").arg(ChannelFilePath()));
        return 1;
    }
    Say(QStringLiteral("Imported %1 row(s) into %2.").arg(rows.rows.size()).arg(ChannelFilePath()));
    return 0;
}

} // namespace

int RunChannelsCommand(const ChannelsCommandLine& command)
{
    // The save's messages have no window to appear in.
    SetMessageBoxSink([](const CString& text) { Tell(QString::fromLatin1(text)); });
    const int status = command.action == ChannelsCommandLine::Action::Export ? Export(command) : Import(command);
    SetMessageBoxSink({});
    return status;
}
