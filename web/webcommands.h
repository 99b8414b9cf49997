#pragma once
// What a page shows of the panel and may ask of the station, as one table:
// a row a control, in the order a phone shows them, with the page's command
// that works it, the least role that may ask it and its handler; then the
// commands that act on no control. A page's message is found here and its
// operator's role checked here, nowhere else; what is not in the table (the
// port settings, the DTR power line, the hosted serial control) a page never
// sees nor reaches. A control is worked through the view's own message map,
// as the desktop's click, choice or double-click runs it, so the radio gets
// the desktop's bytes; keying goes to the transmitter's one holder,
// listening to the station's sound.
#include <QJsonObject>
#include <QLatin1String>
#include <QString>
#include <optional>
#include <vector>

#include "web/operatorrole.h"
#include "web/websessions.h"

class CBeatWatch;
class CTavrinView;
class CWebAudio;
class CWebKeying;
class QObject;

// What a page's commands act on; none of it there until the panel is up.
struct WebStation {
    CTavrinView* view = nullptr;
    CWebKeying* keying = nullptr;
    CWebAudio* audio = nullptr;
    CBeatWatch* beats = nullptr;
};

struct WebCall {
    const WebStation& station;
    const WebSession& session;
    const QObject* page;  // the page that sent it: a key is that page's
    const QJsonObject& message;
};

// Carried out in the server's thread as it arrives, never queued behind
// the panel's work: the heartbeat of a page that keys.
constexpr unsigned kWebOnArrival = 0x1;
// Keying says itself what it changed, once a change: its heartbeats, twice
// a second, and a release that ends nothing would bury the rest.
constexpr unsigned kWebLogsItself = 0x2;

struct WebCommand {
    QLatin1String command;     // the page's "command"; none for a control only shown
    int control;               // the dialog item it acts on; 0 for none
    const char* resourceName;  // "IDC_FREQ_UP", the page's "freq-up"
    OperatorRole leastRole;
    const char* section;       // where the page shows the control when no group box holds it
    unsigned flags;
    QString (*run)(const WebCommand& command, const WebCall& call);
};

// A control of the panel as the page shows it, by its web name.
struct WebControl {
    int id;
    QString name;
    QString section;
    std::optional<OperatorRole> role;  // the least that may use it; none for one only shown
};

const std::vector<WebControl>& WebControls();
const WebControl* FindWebControl(const QString& name);

// The row a page's message asks for, when its operator's role may ask it;
// else none, and why.
const WebCommand* AdmitWebCommand(const QJsonObject& message, const WebSession& session, QString& why);
// An admitted row carried out: the refusal to show the page, or empty.
QString RunWebCommand(const WebCommand& command, const WebCall& call);
