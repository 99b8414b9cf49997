#include "web/webkeying.h"

#include <QJsonObject>
#include <QWebSocket>

#include "keying/transmitholder.h"
#include "panel/tavrinview.h"
#include "remote/transmitguard.h"
#include "res/resource.h"
#include "web/beatwatch.h"
#include "web/webfeed.h"
#include "web/weblog.h"
#include "web/webmessages.h"

namespace {

QString Seconds(std::chrono::milliseconds interval)
{
    return QString::number(double(interval.count()) / 1000.0);
}

// To the hundredth, as it really was: "2.03".
QString SecondsSince(qint64 steadyNs)
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const double seconds = double(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() - steadyNs) / 1e9;
    return QString::number(seconds, 'f', 2);
}

QString AddressOf(const QObject* page)
{
    const auto* socket = qobject_cast<const QWebSocket*>(page);
    return socket ? socket->peerAddress().toString() : QString();
}

QString PortClosed() { return QStringLiteral("The radio's port is not open."); }

} // namespace

CWebKeying::CWebKeying(CTransmitHolder& holder, CWebFeed& feed, CTavrinView& view, CBeatWatch& beats, QObject* parent)
    : QObject(parent), m_holder(holder), m_feed(feed), m_view(view), m_beats(beats)
{
    m_watchdog.setSingleShot(true);
    m_watchdog.setInterval(CTransmitGuard::kDefaultTimeout);
    connect(&m_beats, &CBeatWatch::Silent, this, &CWebKeying::OnSilent);
    connect(&m_watchdog, &QTimer::timeout, this, [this] {
        UnkeyFor(QStringLiteral("the %1 s watchdog").arg(Seconds(m_watchdog.intervalAsDuration())));
    });
    connect(&feed, &CWebFeed::PageGone, this, [this](const QObject* page) {
        if (m_keyer && m_keyer->client == page)
            UnkeyFor(QStringLiteral("the page went away"));
    });
    connect(&feed, &CWebFeed::PageOpened, this, [this] { TellHolder(m_holderText); });
    connect(&holder, &CTransmitHolder::Began, this, [this](const Keyer& who) { TellHolder(HolderText(who)); });
    connect(&holder, &CTransmitHolder::Ended, this, [this](const Keyer& who, const QString& why) {
        if (m_keyer && m_keyer->SameAs(who))
            m_keyer.reset();
        if (!m_keyer) {
            m_beats.Disarm();
            m_watchdog.stop();
        }
        TellHolder(QString(), why);
    });
}

CWebKeying::~CWebKeying()
{
    if (m_keyer)
        UnkeyFor(QStringLiteral("the web panel stopped"));
}

void CWebKeying::SetBeatTimeout(std::chrono::milliseconds timeout) { m_beats.SetTimeout(timeout); }

QString CWebKeying::Key(const WebSession& session, const QObject* page) { return KeyWith(session, page, false); }

// A second Tune from the page that tuned ends the tune, as on the panel.
QString CWebKeying::Tune(const WebSession& session, const QObject* page)
{
    if (OursFrom(page) && m_keyer->how == QLatin1String("web Tune")) {
        UnkeyFor(QStringLiteral("web Tune"));
        return {};
    }
    return KeyWith(session, page, true);
}

QString CWebKeying::HolderText(const Keyer& who)
{
    if (who.kind == Keyer::Kind::WebOperator)
        return QStringLiteral("%1 (%2)").arg(who.name.section(QLatin1Char(' '), 0, 0), who.how);
    return QStringLiteral("%1 (%2)").arg(who.Who(), who.how);
}

QString CWebKeying::KeyWith(const WebSession& session, const QObject* page, bool tune)
{
    if (OursFrom(page))
        return {};
    const Keyer who{Keyer::Kind::WebOperator, session.name + QLatin1Char(' ') + AddressOf(page),
                    tune ? QStringLiteral("web Tune") : QStringLiteral("web"), page};
    if (!m_holder.Claim(who)) {
        const std::optional<Keyer> holder = m_holder.Holder();
        qCInfo(lcWeb) << session.name << "refused: key, held by" << (holder ? holder->Who() : QString());
        return QStringLiteral("The transmitter is held by %1.").arg(holder ? HolderText(*holder) : QString());
    }
    // Watched even when the port failed: a key half made is still ended
    // by the page's silence.
    m_keyer = who;
    m_arming = m_beats.Arm(page);
    m_watchdog.start();
    const bool ran = m_view.OnCmdMsg(tune ? IDC_TUNE : IDC_XMIT, Notification::Clicked);
    if (ran)
        qCInfo(lcWeb).noquote() << session.name << "keyed from" << AddressOf(page) + (tune ? QStringLiteral(" with Tune") : QString());
    else
        qCWarning(lcWeb).noquote() << session.name << "could not key from" << AddressOf(page) << "- the port is closed";
    m_holder.Look();
    return ran ? QString() : PortClosed();
}

// Anyone else's unkey is a release of a key they never had: nothing to say.
QString CWebKeying::Unkey(const WebSession&, const QObject* page)
{
    if (OursFrom(page))
        UnkeyFor(QStringLiteral("web unkey"));
    return {};
}

QString CWebKeying::Receive(const WebSession& session, const QObject*)
{
    qCInfo(lcWeb) << session.name << "pressed Receive";
    return UnkeyFor(QStringLiteral("web Receive"), true) ? QString() : PortClosed();
}

// Told late when the panel was busy: the record says how late.
void CWebKeying::OnSilent(quint64 arming, qint64 lastBeatNs)
{
    if (!m_keyer || arming != m_arming)
        return;
    UnkeyFor(QStringLiteral("no heartbeat for %1 s").arg(SecondsSince(lastBeatNs)));
}

// A key of the page's that never reached the air (its port failed) holds
// nothing: ending it must not unkey whoever keyed since. Receive, as on the
// panel, unkeys whoever holds it.
bool CWebKeying::UnkeyFor(const QString& why, bool anyones)
{
    const std::optional<Keyer> holder = m_holder.Holder();
    const bool ours = m_keyer && holder && holder->SameAs(*m_keyer);
    const bool tuned = ours && m_keyer->how == QLatin1String("web Tune");
    m_keyer.reset();
    m_beats.Disarm();
    m_watchdog.stop();
    if (!ours && !anyones)
        return true;
    // The holder's own release is the ordinary end; anything else is news.
    if (why == QLatin1String("web unkey"))
        qCInfo(lcWeb).noquote() << holder->Who() << "let go - back to receive";
    else
        qCWarning(lcWeb).noquote() << why << "- back to receive";
    m_holder.NoteUnkeyReason(why);
    const bool ran = m_view.OnCmdMsg(tuned ? IDC_TUNE : IDC_RECEIVE, Notification::Clicked);
    m_holder.Look();
    return ran;
}

bool CWebKeying::OursFrom(const QObject* page) const { return m_keyer && page && m_keyer->client == page; }

void CWebKeying::TellHolder(const QString& text, const QString& ended)
{
    m_holderText = text;
    QJsonObject message{{QStringLiteral("type"), WebMessage::kHolder}, {QStringLiteral("text"), text}};
    if (!ended.isEmpty())
        message.insert(QStringLiteral("ended"), ended);
    m_feed.SendToAll(message);
}
