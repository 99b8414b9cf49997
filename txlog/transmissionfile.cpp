#include "txlog/transmissionfile.h"

#include <QDir>
#include <QFile>

#include "txlog/transmissioncsv.h"
#include "txlog/unfinishedline.h"

namespace {

// The whole file when its last byte is not a line end; nothing otherwise,
// and then nothing is read.
QByteArray UnfinishedText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return QByteArray();
    if (file.seek(file.size() - 1) && file.read(1) == "\n")
        return QByteArray();
    return file.seek(0) ? file.readAll() : QByteArray();
}

QString NewestFileIn(const QString& folder)
{
    QString newest;
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    for (const QString& name : dir.entryList({QStringLiteral("transmissions-*.csv")}, QDir::Files))
        if (MonthOfTransmissionsFile(name).isValid() && name > newest)
            newest = name;
    return newest;
}

} // namespace

CTransmissionFile::CTransmissionFile(const QString& folder, QObject* parent)
    : CRecordFile(folder, kTransmissionsHeader, QStringLiteral("the transmission record"), parent)
{
}

CTransmissionFile::~CTransmissionFile() { CloseLeftOpen(); }

void CTransmissionFile::CloseUnfinished()
{
    const QString newest = NewestFileIn(PathOf(QString()));
    if (newest.isEmpty())
        return;
    const QDateTime open = OpenStartOf(UnfinishedText(PathOf(newest)));
    if (open.isValid())
        m_leftOpen = LeftOpen{newest, open};
    else
        Complete(newest);
}

bool CTransmissionFile::TakeUpLeftOpen()
{
    if (!m_leftOpen || m_onAir)
        return false;
    m_open = TransmissionRecord();
    m_open.start = m_leftOpen->start;
    m_onAir = true;
    m_startWritten = true;
    m_leftOpen.reset();
    return true;
}

void CTransmissionFile::CloseLeftOpen()
{
    if (!m_leftOpen)
        return;
    const QString name = m_leftOpen->file;
    m_leftOpen.reset();
    Complete(name);
}

// The last line is made whole before anything follows it, so a start the
// disk took only in part never runs into the next record.
bool CTransmissionFile::Complete(const QString& name)
{
    const QByteArray completion = CompletionOf(UnfinishedText(PathOf(name)));
    if (completion.isEmpty())
        return true;
    qCInfo(lcTxLog).noquote() << QStringLiteral("%1 ended in an unfinished line; appended to complete it: %2")
                                     .arg(PathOf(name), QString::fromUtf8(completion).trimmed());
    return Append(name, completion);
}

// Tried once more only: after that the line is closed as unfinished.
void CTransmissionFile::WritePendingEnd()
{
    if (!m_pendingEnd.isEmpty())
        Append(m_pendingFile, m_pendingEnd);
    m_pendingEnd.clear();
}

void CTransmissionFile::Begin(const TransmissionRecord& started)
{
    CloseLeftOpen();
    if (m_onAir)
        End(started.start, QStringLiteral("the next transmission began"));
    WritePendingEnd();
    m_open = started;
    m_open.start = started.start.isValid() ? started.start.toUTC() : QDateTime::currentDateTimeUtc();
    m_open.end = QDateTime();
    m_open.ended.clear();
    m_onAir = true;
    const QString name = TransmissionsFileName(m_open.start);
    m_startWritten = Complete(name) && Append(name, StartText(m_open));
    emit Written(m_open);
}

void CTransmissionFile::End(const QDateTime& end, const QString& ended)
{
    if (!m_onAir)
        return;
    m_onAir = false;
    m_open.end = end.toUTC();
    m_open.ended = ended;
    const QString name = TransmissionsFileName(m_open.start);
    if (!m_startWritten) {
        // The start never reached the disk: the whole line goes now.
        if (Complete(name))
            Append(name, RecordText(m_open));
    } else if (!Append(name, EndText(m_open))) {
        m_pendingFile = name;
        m_pendingEnd = EndText(m_open);
    }
    emit Written(m_open);
}
