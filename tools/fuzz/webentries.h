#pragma once
// The web panel's and the fleet console's inputs from outside: the login
// form's body, a connection's bytes as the request gate reads them, a
// page's WebSocket message as the server reads it and routes it for each
// role, and a station's state as the broker hands it to the console. Each
// check returns an empty string when every rule held.
#include <QByteArray>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QString>
#include <memory>
#include <vector>

#include "fuzzentries.h"
#include "fleet/fleetboard.h"
#include "fleet/stationstate.h"
#include "panel/tavrinview.h"
#include "web/loginform.h"
#include "web/loginthrottle.h"
#include "web/operatorname.h"
#include "web/pagecommand.h"
#include "web/requestgate.h"
#include "web/webcommands.h"
#include "web/webhttp.h"
#include "support/viewharness.h"

namespace fuzzentry {

// A fixed time, so that a run does the same whenever it is made.
inline QDateTime FixedNow() { return QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC); }

// Ten tries of the name a second apart from one address lock it there;
// from another address the name's next try is allowed, if slowed: nobody
// keeps an operator out by failing her name, whatever it is.
inline QString ThrottleProblem(const QString& name)
{
    CLoginThrottle throttle;
    const QString failing = QStringLiteral("192.0.2.1");
    QDateTime at = FixedNow();
    for (int i = 0; i < 10; ++i, at = at.addSecs(2))
        if (throttle.Take(failing, name, at).verdict != CLoginThrottle::Verdict::Allowed)
            return QStringLiteral("try %1 of \"%2\" refused").arg(i + 1).arg(name);
    if (throttle.Take(failing, name, at).verdict != CLoginThrottle::Verdict::Locked)
        return QStringLiteral("the address that failed \"%1\" ten times is not locked").arg(name);
    if (throttle.Take(QStringLiteral("198.51.100.7"), name, at).verdict != CLoginThrottle::Verdict::Allowed)
        return QStringLiteral("\"%1\" failed elsewhere keeps another address out").arg(name);
    return QString();
}

// Any bytes as the login form's body: a name without spaces around it and
// no longer than an operator's, which encoded again as a browser posts it
// reads back the same with its password; a name the operator file could
// hold has only the characters an operator's may; and the throttle treats
// the name as it treats any.
inline QString LoginFormBytes(const QByteArray& bytes)
{
    const LoginForm form = ReadLoginForm(bytes);
    if (form.name.size() > kLongestOperatorName || form.name != form.name.trimmed())
        return QStringLiteral("the name \"%1\" was taken as typed").arg(form.name);
    const LoginForm again = ReadLoginForm("password=" + form.password.toPercentEncoding() + "&name="
                                          + form.name.toUtf8().toPercentEncoding());
    if (again.name != form.name || again.password != form.password)
        return QStringLiteral("the form posted again reads otherwise");
    QString why;
    if (IsUsableOperatorName(form.name, why)) {
        for (QChar c : form.name)
            if (c.unicode() > 127 || !(c.isLetterOrNumber() || c == u'.' || c == u'_' || c == u'-'))
                return QStringLiteral("a name with '%1' could be an operator's").arg(c);
    }
    return ThrottleProblem(form.name);
}

// The value of a header among the lines of a head, or empty.
inline QByteArray HeaderValue(QByteArrayView head, const char* wanted)
{
    while (!head.isEmpty()) {
        const qsizetype end = head.indexOf('\n');
        const QByteArrayView line = end < 0 ? head : head.first(end);
        head = end < 0 ? QByteArrayView() : head.sliced(end + 1);
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.first(colon).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return line.sliced(colon + 1).trimmed().toByteArray();
    }
    return {};
}

// The first request's headers as the server would read them: its session
// cookie, and whether it came from the page's own origin.
inline QString HeaderProblem(const QByteArray& bytes)
{
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    const QByteArrayView head = QByteArrayView(bytes).first(headEnd < 0 ? bytes.size() : headEnd);
    const QByteArray cookie = HeaderValue(head, "cookie");
    const QString token = SessionToken(cookie);
    if (!token.isEmpty() && (token.contains(u';') || !cookie.contains(kSessionCookie + ('=' + token.toLatin1()))))
        return QStringLiteral("session token \"%1\" is not the cookie's").arg(token);
    const QByteArray host = HeaderValue(head, "host");
    const QByteArray origin = HeaderValue(head, "origin");
    const QByteArray referer = HeaderValue(head, "referer");
    if (FromOwnOrigin(host, origin, referer) && !(origin.isEmpty() ? referer : origin).startsWith("https://" + host))
        return QStringLiteral("a request from \"%1\" taken as the page's own").arg(QString::fromLatin1(origin));
    return QString();
}

struct GateRun {
    std::optional<CRequestGate::Refusal> refusal;
    qsizetype refusedAt = -1;  // the end of the piece that was refused
    bool inRequest = false;
};

inline GateRun RunGate(const QByteArray& bytes, qsizetype piece)
{
    CRequestGate gate;
    GateRun run;
    for (qsizetype from = 0; from < bytes.size(); from += piece) {
        const auto refusal = gate.Take(QByteArrayView(bytes).sliced(from, std::min(piece, bytes.size() - from)));
        if (refusal && !run.refusal) {
            run.refusal = refusal;
            run.refusedAt = std::min(from + piece, bytes.size());
        } else if (refusal) {
            return {refusal, -2, false};
        }
    }
    run.inRequest = gate.InRequest();
    return run;
}

// A refusal has a status its reason goes with, and its answer is one whole
// HTTP response that closes the connection.
inline QString RefusalProblem(const CRequestGate::Refusal& refusal)
{
    static const QHash<int, QByteArray> reasons = {{400, "Bad Request"}, {413, "Payload Too Large"},
                                                   {414, "URI Too Long"}, {431, "Request Header Fields Too Large"},
                                                   {501, "Not Implemented"}};
    if (reasons.value(refusal.status) != refusal.reason || refusal.text.isEmpty())
        return QStringLiteral("refused %1 \"%2\"").arg(refusal.status).arg(QString::fromLatin1(refusal.reason));
    const QByteArray reply = RefusalReply(refusal.status, refusal.reason, refusal.text);
    const qsizetype headEnd = reply.indexOf("\r\n\r\n");
    if (!reply.startsWith("HTTP/1.1 " + QByteArray::number(refusal.status) + ' ' + refusal.reason + "\r\n")
        || headEnd < 0 || reply.mid(headEnd + 4) != refusal.text
        || HeaderValue(reply.left(headEnd), "content-length") != QByteArray::number(refusal.text.size())
        || HeaderValue(reply.left(headEnd), "connection") != "close")
        return QStringLiteral("the refusal's answer is not one whole response");
    return QString();
}

// Any bytes as what a connection sends: however the network cuts them, the
// gate refuses them with the same status, at the byte that broke a limit,
// or takes them and ends in the same state; once refused it looks at
// nothing more.
inline QString HttpRequestBytes(const QByteArray& bytes)
{
    // Byte by byte splits every line and every body everywhere.
    const GateRun whole = RunGate(bytes, qMax<qsizetype>(1, bytes.size()));
    const GateRun byByte = RunGate(bytes, 1);
    if (whole.refusedAt == -2 || byByte.refusedAt == -2)
        return QStringLiteral("refused twice");
    if (bool(whole.refusal) != bool(byByte.refusal) || (whole.refusal && whole.refusal->status != byByte.refusal->status))
        return QStringLiteral("cut otherwise, the bytes are refused otherwise");
    if (!whole.refusal && whole.inRequest != byByte.inRequest)
        return QStringLiteral("cut otherwise, the bytes end in another state");
    if (byByte.refusal) {
        if (RunGate(bytes.left(byByte.refusedAt - 1), qMax<qsizetype>(1, byByte.refusedAt - 1)).refusal)
            return QStringLiteral("refused before the byte that broke a limit");
        if (const QString problem = RefusalProblem(*byByte.refusal); !problem.isEmpty())
            return problem;
    }
    return HeaderProblem(bytes);
}

// A station's state as the console keeps it: bounded, whatever was sent.
inline QString StationBoundsProblem(const StationState& state)
{
    for (const QString* text : {&state.mode, &state.agc, &state.holder, &state.link, &state.webPanel})
        if (text->size() > 256)
            return QStringLiteral("a text of %1 characters kept").arg(text->size());
    if (state.operators.size() > 64)
        return QStringLiteral("%1 operators kept").arg(state.operators.size());
    for (const QString& name : state.operators)
        if (name.size() > 256)
            return QStringLiteral("an operator's name of %1 characters kept").arg(name.size());
    if (!state.webPanel.isEmpty() && !state.webPanel.startsWith(QLatin1String("https://")))
        return QStringLiteral("web panel \"%1\" is not a web panel's address").arg(state.webPanel);
    return QString();
}

// Any bytes as the retained state a station publishes: the console takes
// a JSON object of bounded size and nothing else, and shows it, its times
// read, once the station is online; what it keeps is bounded, and sent on
// as a station sends it, reads back the same.
inline QString StationStateBytes(const QByteArray& bytes)
{
    CFleetBoard board(FixedNow());
    const bool taken = board.Take("tavrin/st-1/state", bytes, true, FixedNow());
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (taken != (document.isObject() && bytes.size() <= CFleetBoard::kLargestMessage))
        return taken ? QStringLiteral("taken though not a state") : QStringLiteral("a state not taken");
    board.Take("tavrin/st-1/status", "online", true, FixedNow());
    if (board.Stations().value(QLatin1String("st-1")).toObject().contains(QLatin1String("state")) != taken)
        return QStringLiteral("the console shows a state it did not take, or not one it took");
    if (!taken)
        return QString();
    const StationState state = StationState::FromJson(document.object());
    if (const QString problem = StationBoundsProblem(state); !problem.isEmpty())
        return problem;
    const QByteArray sent = QJsonDocument(state.ToJson(FixedNow(), FixedNow())).toJson(QJsonDocument::Compact);
    if (StationState::FromJson(QJsonDocument::fromJson(sent).object()) != state)
        return QStringLiteral("the state sent on reads back otherwise: %1").arg(QString::fromUtf8(sent.left(300)));
    return QString();
}

// The panel's working folder, where it reads and writes its channel file,
// is its scratch folder only while a message acts on it: the fuzzer's own
// paths stay where they were given.
class InFolder {
public:
    explicit InFolder(const QString& folder) : m_was(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~InFolder() { QDir::setCurrent(m_was); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    QString m_was;
};

// One panel, started as the program starts it on a fake port in a scratch
// folder, that every page message acts on; before each, it is put back as
// it was started, so a message does the same whatever came before it.
class WebPagePanel {
public:
    WebPagePanel()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("tavrin.*=false"));
        const QString was = QDir::currentPath();
        const QByteArray file = kChannelFile;
        m_harness = std::make_unique<ViewHarness>(&file);
        m_harness->Start();
        QDir::setCurrent(was);
        CTavrinView& view = m_harness->View();
        for (const auto member : kNumbers)
            m_numbers.push_back(view.*member);
        for (const auto member : kTexts)
            m_texts.push_back(view.*member);
        for (const auto member : kLists)
            m_selections.push_back((view.*member).GetCurSel());
    }

    CTavrinView& View() { return m_harness->View(); }

    // The panel as started, its port's writes and message boxes forgotten.
    void Reset()
    {
        CTavrinView& view = View();
        view.StopScanAndJog();
        ResetProgramGlobals();
        ReadChannelTable(kChannelFile);
        for (size_t i = 0; i < std::size(kNumbers); ++i)
            view.*kNumbers[i] = m_numbers[i];
        for (size_t i = 0; i < std::size(kTexts); ++i)
            view.*kTexts[i] = m_texts[i];
        for (size_t i = 0; i < std::size(kLists); ++i)
            (view.*kLists[i]).SetCurSel(m_selections[i]);
        view.m_btnTune.SetState(false);
        view.UpdateData(false);
        m_harness->TakeWrites();
        m_harness->messages.clear();
    }

    QByteArray Writes() { return m_harness->TakeWritesJoined(); }
    QString Folder() const { return m_harness->Dir(); }

private:
    static constexpr const char* kChannelFile = "1  9600 O 7 1\r\n 7000.00  7300.00   0   9\r\n";
    static constexpr int CTavrinView::*kNumbers[] = {
        &CTavrinView::m_nStep,    &CTavrinView::m_nAudioInput, &CTavrinView::m_bClipping, &CTavrinView::m_bSideTone,
        &CTavrinView::m_nJog,     &CTavrinView::m_nVox,        &CTavrinView::m_nTxRx,     &CTavrinView::m_bBpfOff,
        &CTavrinView::m_bExtPtt,  &CTavrinView::m_nMeter,      &CTavrinView::m_bMute,     &CTavrinView::m_bLocalAudio,
        &CTavrinView::m_bAmpPower, &CTavrinView::m_bAmpReady,  &CTavrinView::m_bAmpTuning, &CTavrinView::m_bAmpOperate,
        &CTavrinView::m_bDtrPower};
    static constexpr CString CTavrinView::*kTexts[] = {
        &CTavrinView::m_strLastCommand, &CTavrinView::m_strRfGain,    &CTavrinView::m_strBfo,
        &CTavrinView::m_strFreq,        &CTavrinView::m_strFreqEntry, &CTavrinView::m_strScanUpper,
        &CTavrinView::m_strScanLower,   &CTavrinView::m_strChanLower, &CTavrinView::m_strChanUpper,
        &CTavrinView::m_strStatus,      &CTavrinView::m_strSettings};
    static constexpr CComboBox CTavrinView::*kLists[] = {&CTavrinView::m_cbChannels, &CTavrinView::m_cbMode,
                                                          &CTavrinView::m_cbAgc};

    std::unique_ptr<ViewHarness> m_harness;
    std::vector<int> m_numbers;
    std::vector<CString> m_texts;
    std::vector<int> m_selections;
};

inline bool Reaches(OperatorRole role, OperatorRole least)
{
    if (role == OperatorRole::Watch)
        return false;
    return least == OperatorRole::Listen || (least == OperatorRole::Operate && MayOperate(role)) || MayTransmit(role);
}

// A message's row for one role: admitted exactly when the role may ask
// it, with a reason when not, the same every time it is asked.
inline QString AdmissionProblem(const QJsonObject& message, OperatorRole role, const WebCommand*& admitted)
{
    WebSession session;
    session.name = QStringLiteral("op");
    session.role = role;
    QString why, again;
    admitted = AdmitWebCommand(message, session, why);
    if (AdmitWebCommand(message, session, again) != admitted || again != why)
        return QStringLiteral("asked twice, the message is routed otherwise");
    if (!admitted)
        return why.isEmpty() ? QStringLiteral("refused without a reason") : QString();
    if (!why.isEmpty() || !admitted->run)
        return QStringLiteral("admitted with \"%1\"").arg(why);
    if (!Reaches(role, admitted->leastRole))
        return QStringLiteral("%1 may ask what needs %2").arg(RoleName(role), RoleName(admitted->leastRole));
    if (admitted->command != message.value(QStringLiteral("command")).toString())
        return QStringLiteral("routed to a row of another command");
    return QString();
}

// Any bytes as a page's text message: the first byte says the operator's
// role, the rest is the message. For every role the message is admitted
// only when that role may ask it; carried out for the first byte's role,
// nothing keys the transmitter (no page here holds the keying), and a role
// that may not operate sends the radio nothing.
inline QString PageMessageBytes(WebPagePanel& panel, const QByteArray& bytes)
{
    const OperatorRole chosen = bytes.isEmpty() ? OperatorRole::Listen : OperatorRole(quint8(bytes[0]) % 4);
    const QJsonObject message = PageCommandOf(QString::fromUtf8(Piece(bytes, 1, bytes.size())));
    const WebCommand* run = nullptr;
    for (const OperatorRole role : {OperatorRole::Listen, OperatorRole::Operate, OperatorRole::Transmit, OperatorRole::Watch}) {
        const WebCommand* admitted = nullptr;
        if (const QString problem = AdmissionProblem(message, role, admitted); !problem.isEmpty())
            return problem;
        if (role == chosen)
            run = admitted;
    }
    if (!run)
        return QString();
    panel.Reset();
    WebSession session;
    session.name = QStringLiteral("op");
    session.role = chosen;
    const WebStation station{&panel.View(), nullptr, nullptr, nullptr};
    {
        const InFolder scratch(panel.Folder());
        RunWebCommand(*run, {station, session, &panel.View(), message});
    }
    if (g_chTxState == 'K')
        return QStringLiteral("a page's message keyed the transmitter");
    const QByteArray writes = panel.Writes();
    if (!MayOperate(chosen) && !writes.isEmpty())
        return QStringLiteral("a %1 page sent the radio \"%2\"").arg(RoleName(chosen), Escaped(writes));
    return QString();
}

} // namespace fuzzentry
