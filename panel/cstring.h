#pragma once
// The panel's text is 8-bit: commands, reports and the channel file are plain
// ASCII bytes, and a channel line may carry zero bytes. QByteArray keeps all of
// that exactly, so the panel's string type is simply a byte array.
#include <QByteArray>
#include <QString>

using CString = QByteArray;

// printf-style formatting into a CString, embedded zero bytes included
// (a never-stored channel prints its letters as "%c" of 0).
CString FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The 8-bit text a widget shows; one byte per character.
inline QString ToWidgetText(const CString& text) { return QString::fromLatin1(text); }
inline CString FromWidgetText(const QString& text) { return text.toLatin1(); }
