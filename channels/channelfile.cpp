#include "channels/channelfile.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>

#include "channels/channelfilesave.h"
#include "channels/channellines.h"
#include "channels/channeltable.h"
#include "channels/streamscanner.h"
#include "panel/messagebox.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"

const char* const g_szChannelFile = "h350save.dat";
const char* const g_szChannelBackup = "h350save.bak";
const char* const g_szUnreadableCopy = "h350save.unreadable";
const char* const g_szMisnumberedCopy = "h350save.orig";
ChannelFileLoad g_channelFileLoad = ChannelFileLoad::NotYet;

// One pass: a file with no CR LF is not copied, and one with many costs no
// more than its bytes.
QByteArray NormalizeLineEnds(const QByteArray& bytes)
{
    qsizetype crlf = bytes.indexOf("\r\n");
    if (crlf < 0)
        return bytes;
    QByteArray text;
    text.reserve(bytes.size());
    qsizetype from = 0;
    for (; crlf >= 0; crlf = bytes.indexOf("\r\n", from)) {
        text.append(bytes.constData() + from, crlf - from).append('\n');
        from = crlf + 2;
    }
    return text.append(bytes.constData() + from, bytes.size() - from);
}

namespace {

void ReadPortLine(StreamScanner& in)
{
    // One conversion failing stops the rest of the line's conversions.
    if (!in.ReadInt(g_nCommPort) || !in.ReadInt(g_nBaudRate))
        return;
    in.SkipSpace();
    if (!in.ReadChar(g_chParity))
        return;
    if (in.ReadInt(g_nDataBits))
        in.ReadInt(g_nStopBits);
}

void ReadRangeLine(StreamScanner& in)
{
    if (in.ReadFloat(g_fScanLower) && in.ReadFloat(g_fScanUpper) && in.ReadInt(g_nChanLower))
        in.ReadInt(g_nChanUpper);
}

void ReadLetter(StreamScanner& in, char& letter)
{
    if (in.ReadChar(letter))
        in.SkipSpace();
}

// Past the end of a short file: marked so the gap shows in the list.
void MarkPastTheEnd(char* desc)
{
    std::fill(desc, desc + kDescLength - 1, '*');
    desc[kDescLength - 1] = '\n';
}

void ReadDescription(StreamScanner& in, char* desc)
{
    if (in.AtEnd())
        return MarkPastTheEnd(desc);
    static const char kNoText[kDescLength] = {};
    const qsizetype n = in.TakeLine(desc, kDescLength);
    const bool sawText = std::memcmp(desc, kNoText, size_t(n)) != 0;
    std::fill(desc + n, desc + kDescLength, ' ');
    desc[kDescLength - 1] = '\n';
    // A hand-edited line longer than the field: the rest of it is dropped so
    // the next record is read from its own line. (A never-stored slot's run of
    // zero bytes has no line end and is followed directly by the next record.)
    if (n == kDescLength && sawText)
        in.SkipLine();
}

// The number is not what places the record, but it tells whether the record
// is where its writer put it. A file that simply ends early has no number
// left to disagree.
bool ReadRecordNumber(StreamScanner& in, int slot)
{
    int number = 0;
    if (!in.ReadInt(number, 3))
        return in.AtEnd();
    in.SkipSpace();
    return number == slot;
}

// Every field of a record past the end would fail and keep its value; only
// the description is marked, with no record read. A short file costs no
// more than its bytes.
bool ReadRecord(StreamScanner& in, int slot)
{
    const bool inPlace = ReadRecordNumber(in, slot);
    if (in.ReadDouble(g_dChanFreq[slot]))
        in.SkipSpace();
    ReadLetter(in, g_chChanMode[slot]);
    ReadLetter(in, g_chChanAgc[slot]);
    ReadLetter(in, g_chChanInput[slot]);
    in.ReadChar(g_chChanRoute[slot]);
    in.ReadLineEnd();
    ReadDescription(in, g_chChanDesc[slot]);
    return inPlace;
}

// No file was read and no port was ever chosen: the parity letter is still
// a zero byte, which has no place in a text file, and port 0 names no port.
bool PortLineNeverFilled() { return g_nCommPort < 1 && g_nBaudRate == 0 && g_chParity == '\0'; }

// Such a line goes out as the Serial Port dialog's defaults, so the next
// start reads COM1 at 9600 baud, odd parity, 7 data bits, 1 stop bit, and
// offers the dialog if that port does not open.
QByteArray PortLine()
{
    if (PortLineNeverFilled())
        return "1  9600 O 7 1\n";
    return FormatText("%1d %5d %1c %1d %1d\n", g_nCommPort, g_nBaudRate, g_chParity, g_nDataBits, g_nStopBits);
}

QByteArray RangeLine()
{
    return FormatText("%8.2f %8.2f %3d %3d\n", double(g_fScanLower), double(g_fScanUpper), g_nChanLower, g_nChanUpper);
}

// The record's first line: the same bytes as its fields one by one ("%3d ",
// "%8.2f ", three "%c " and "%c\n"), zero letters included.
void AppendRecordText(QByteArray& text, int slot)
{
    AppendRecordFields(text, slot);
    text.append('\n');
    text.append(g_chChanDesc[slot], kDescLength);
}

// Every line feed as CR LF, in one pass and one allocation.
QByteArray WithCrLf(const QByteArray& text)
{
    QByteArray crlf;
    crlf.reserve(text.size() + text.count('\n'));
    const char* from = text.constData();
    const char* const end = from + text.size();
    while (const void* lineFeed = std::memchr(from, '\n', size_t(end - from))) {
        const char* const at = static_cast<const char*>(lineFeed);
        crlf.append(from, at - from).append("\r\n", 2);
        from = at + 1;
    }
    return crlf.append(from, end - from);
}

ChannelFileLoad NotLoaded()
{
    const QFileInfo info(QString::fromLatin1(g_szChannelFile));
    return info.exists() || info.isSymLink() ? ChannelFileLoad::Unreadable : ChannelFileLoad::Missing;
}

} // namespace

bool ReadChannelTable(const QByteArray& fileBytes)
{
    StreamScanner in(NormalizeLineEnds(fileBytes));
    ReadPortLine(in);
    ReadRangeLine(in);
    bool allInPlace = true;
    int slot = 0;
    for (; slot < kChannelCount && !in.AtEnd(); ++slot)
        allInPlace = ReadRecord(in, slot) && allInPlace;
    for (; slot < kChannelCount; ++slot)
        MarkPastTheEnd(g_chChanDesc[slot]);
    return allInPlace;
}

// Only a regular file is read: a named pipe would hold the start until
// someone wrote to it, and a device may never end. A device error part-way,
// or a file cut short while it was read, would give a partial table that the
// save at close writes over the whole file.
std::optional<QByteArray> ReadWholeFile(const QString& name)
{
    QFile file(name);
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = file.size();
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() < size)
        return std::nullopt;
    return bytes;
}

CString PortSettingsText()
{
    return FormatText("%5d,%c,%1d,%1d", g_nBaudRate, g_chParity, g_nDataBits, g_nStopBits);
}

QByteArray ChannelFileBytes() { return FirstSlotsFileBytes(kChannelCount); }

QByteArray FirstSlotsFileBytes(int slotCount)
{
    const int written = std::min(slotCount, kChannelCount);
    QByteArray text;
    text.reserve(64 + written * 56);  // a stored record takes 53 bytes and its two line ends
    text += PortLine() + RangeLine();
    for (int slot = 0; slot < written; ++slot)
        AppendRecordText(text, slot);
    return WithCrLf(text);
}

ChannelFileLoad ReadChannelFileIntoTable()
{
    const std::optional<QByteArray> bytes = ReadWholeFile(QString::fromLatin1(g_szChannelFile));
    if (!bytes)
        g_channelFileLoad = NotLoaded();
    else
        g_channelFileLoad = ReadChannelTable(*bytes) ? ChannelFileLoad::Loaded : ChannelFileLoad::Misnumbered;
    return g_channelFileLoad;
}

void CTavrinView::LoadChannelFile()
{
    const ChannelFileLoad load = ReadChannelFileIntoTable();
    if (load == ChannelFileLoad::Missing || load == ChannelFileLoad::Unreadable) {
        AfxMessageBox("Saved Data File did not open for Read!");
        return;
    }
    m_strSettings = PortSettingsText();
    m_strScanLower = FormatText("%8.2f", double(g_fScanLower));
    m_strScanUpper = FormatText("%8.2f", double(g_fScanUpper));
    m_strChanLower = FormatText("%3d", g_nChanLower);
    m_strChanUpper = FormatText("%3d ", g_nChanUpper);
    // A second load starts the list afresh, so list index and slot agree.
    ShowEveryChannel(m_cbChannels);
}

void CTavrinView::SaveChannelFile()
{
    WriteChannelFile(ChannelFileBytes());
}

void CTavrinView::PostNcDestroy()
{
    SaveChannelFile();
}
