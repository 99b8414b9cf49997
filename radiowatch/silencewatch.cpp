#include "radiowatch/silencewatch.h"

#include <QLoggingCategory>
#include <utility>

#include "panel/tavrinview.h"

Q_LOGGING_CATEGORY(lcRadioWatch, "tavrin.radiowatch", QtInfoMsg)

namespace {
// The silence shows within a tenth of the span of its start.
constexpr int kChecksPerSpan = 10;
} // namespace

CSilenceWatch::CSilenceWatch(CTavrinView& view) : QObject(&view), m_view(view)
{
    m_quiet.start();
    connect(&m_check, &QTimer::timeout, this, &CSilenceWatch::Check);
    connect(&view, &CTavrinView::ReportParsed, this, &CSilenceWatch::OnReport);
    connect(&view, &CTavrinView::Closing, &m_check, &QTimer::stop);
    SetSpan(kDefaultSpan);
}

void CSilenceWatch::SetSpan(std::chrono::milliseconds span)
{
    m_span = span;
    m_check.start(span / kChecksPerSpan);
}

void CSilenceWatch::OnReport()
{
    m_quiet.restart();
    if (m_silent)
        qCInfo(lcRadioWatch) << "the radio reports again";
    SetSilent(false);
}

void CSilenceWatch::Check()
{
    if (!m_view.Comm().GetPortOpen()) {
        if (!std::exchange(m_portWasClosed, true))
            emit HeardChanged();
        SetSilent(false);
        return;
    }
    if (std::exchange(m_portWasClosed, false)) {
        m_quiet.restart();
        emit HeardChanged();
    }
    SetSilent(m_quiet.elapsed() >= m_span.count());
}

void CSilenceWatch::SetSilent(bool silent)
{
    if (silent == m_silent)
        return;
    m_silent = silent;
    const QString words = QStringLiteral("no report from the radio for %1 s").arg(m_span.count() / 1000.0);
    if (silent)
        qCWarning(lcRadioWatch).noquote() << words;
    m_view.Title().Set(CWindowTitle::RadioSilent, silent ? words : QString());
    emit HeardChanged();
}
