#pragma once
// The serial trace: every command sent and every line received, stamped to
// the millisecond, with its direction, bytes that are not printable written
// as escapes. It is off unless a file is named (--trace FILE) or the logging
// category tavrin.serial is enabled for debug messages
// (QT_LOGGING_RULES="tavrin.serial.debug=true").
//
// The receive path runs once per character: with the trace off each call
// below is one inline test and nothing more.
#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcSerial)

class CSerialTrace {
public:
    // Appends to the file from now on; false with the reason when it cannot.
    static bool OpenFile(const QString& path, QString& error);
    static void CloseFile();
    static bool IsOn() { return s_fileOpen || lcSerial().isDebugEnabled(); }

    void Sent(const QByteArray& bytes)
    {
        if (IsOn())
            TraceSent(bytes);
    }
    // Bytes as they arrive; a line is written once its line feed is in.
    void Received(const QByteArray& bytes)
    {
        if (IsOn())
            TraceReceived(bytes);
    }
    // Opening, losing and closing the port, so a trace shows the gaps.
    void Note(const QString& text)
    {
        if (IsOn())
            TraceNote(text);
    }

    // "?\n" becomes ?\n, a zero byte \x00, a quote \" and a backslash \\.
    static QByteArray Escaped(const QByteArray& bytes);

private:
    void TraceSent(const QByteArray& bytes);
    void TraceReceived(const QByteArray& bytes);
    void TraceNote(const QString& text);
    void FlushPartialLine();
    static void Write(const QByteArray& line);

    static bool s_fileOpen;
    QByteArray m_partialLine;
};
