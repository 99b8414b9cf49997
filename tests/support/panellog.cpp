#include "support/panellog.h"

#include <QLoggingCategory>

namespace {

QtMessageHandler g_previousHandler = nullptr;
QLoggingCategory::CategoryFilter g_previousFilter = nullptr;

void KeepPanelLines(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (QByteArray(context.category).startsWith("tavrin.")) {
        if (type != QtDebugMsg)
            PanelLog::Lines() << text;
        return;
    }
    g_previousHandler(type, context, text);
}

void ShowPanelCategoriesAsByDefault(QLoggingCategory* category)
{
    g_previousFilter(category);
    if (!QByteArray(category->categoryName()).startsWith("tavrin."))
        return;
    category->setEnabled(QtDebugMsg, false);
    category->setEnabled(QtInfoMsg, true);
    category->setEnabled(QtWarningMsg, true);
}

} // namespace

QStringList& PanelLog::Lines()
{
    static QStringList lines;
    return lines;
}

void PanelLog::Capture()
{
    if (g_previousHandler)
        return;
    g_previousHandler = qInstallMessageHandler(KeepPanelLines);
    // The default filter is taken first: installing runs the new one at once.
    g_previousFilter = QLoggingCategory::installFilter(nullptr);
    QLoggingCategory::installFilter(ShowPanelCategoriesAsByDefault);
}
