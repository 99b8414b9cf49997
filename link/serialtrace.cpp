#include "link/serialtrace.h"

#include <QDateTime>
#include <QFile>

Q_LOGGING_CATEGORY(lcSerial, "tavrin.serial", QtInfoMsg)

bool CSerialTrace::s_fileOpen = false;

namespace {

// Noise that never brings a line feed still shows, in pieces of this size.
constexpr qsizetype kLongestLine = 256;

QFile& TraceFile()
{
    static QFile file;
    return file;
}

QByteArray Stamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
}

QByteArray Quoted(const char* direction, const QByteArray& bytes)
{
    return QByteArray(direction) + " \"" + CSerialTrace::Escaped(bytes) + '"';
}

} // namespace

bool CSerialTrace::OpenFile(const QString& path, QString& error)
{
    CloseFile();
    QFile& file = TraceFile();
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error = file.errorString();
        return false;
    }
    s_fileOpen = true;
    Write("trace started, tavrin " TAVRIN_VERSION);
    return true;
}

void CSerialTrace::CloseFile()
{
    s_fileOpen = false;
    TraceFile().close();
}

QByteArray CSerialTrace::Escaped(const QByteArray& bytes)
{
    QByteArray text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else if (c == '"' || c == '\\')
            text += '\\' + QByteArray(1, c);
        else if (byte < 0x20 || byte >= 0x7f)
            text += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            text += c;
    }
    return text;
}

void CSerialTrace::TraceSent(const QByteArray& bytes) { Write(Quoted("sent", bytes)); }

void CSerialTrace::TraceReceived(const QByteArray& bytes)
{
    for (const char c : bytes) {
        m_partialLine += c;
        if (c == '\n' || m_partialLine.size() >= kLongestLine)
            FlushPartialLine();
    }
}

void CSerialTrace::TraceNote(const QString& text)
{
    FlushPartialLine();
    Write(text.toUtf8());
}

void CSerialTrace::FlushPartialLine()
{
    if (m_partialLine.isEmpty())
        return;
    Write(Quoted("rcvd", m_partialLine));
    m_partialLine.clear();
}

// Each line reaches the disk at once: a trace is read after something went
// wrong, sometimes after the program itself did.
void CSerialTrace::Write(const QByteArray& line)
{
    const QByteArray stamped = Stamp() + ' ' + line;
    if (s_fileOpen) {
        QFile& file = TraceFile();
        file.write(stamped + '\n');
        file.flush();
    }
    qCDebug(lcSerial).noquote() << QString::fromLatin1(stamped);
}
