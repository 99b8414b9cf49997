#include "panel/messagebox.h"

#include <QApplication>
#include <QMessageBox>

const char* const g_szAppTitle = "Harris RT-1446/URC";

namespace {
MessageBoxSink& Sink()
{
    static MessageBoxSink sink;
    return sink;
}
} // namespace

void SetMessageBoxSink(MessageBoxSink sink) { Sink() = std::move(sink); }

void AfxMessageBox(const CString& text)
{
    if (Sink()) {
        Sink()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(g_szAppTitle), ToWidgetText(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
