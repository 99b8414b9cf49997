#pragma once
// The web panel, its operators, the station's sound for remote listeners and
// the station's place in a fleet: the panel's one doorway to web/, audio/ and
// fleet/. They are built where Qt has its HTTP server, WebSockets and
// Multimedia, and libmosquitto is (Linux); a build without them (Windows)
// offers none of it: no option in --help, no menu entry, no command.
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class CSilenceWatch;
class CStationRecord;
class CTavrinView;
class CTransmitHolder;
class QCommandLineParser;
class QMenu;
class QWidget;
struct StartOptions;
struct WebPartCommandLine;

// The part's options, added to the program's own.
class CWebPartOptions {
public:
    explicit CWebPartOptions(QCommandLineParser& parser);
    ~CWebPartOptions();
    // False, with problem set, for a value the part cannot take.
    bool Take(const QCommandLineParser& parser, StartOptions& options, QString& problem) const;
    // How many of the no-window commands (--add-operator, --list-audio,
    // --fleet-console...) are named.
    static int Commands(const StartOptions& options);

private:
    struct Given;
    std::unique_ptr<Given> m_given;
};

// A no-window command of the part, run: its exit status. None named: nothing.
std::optional<int> RunWebPartCommand(const StartOptions& options, int argc, char* argv[]);

class CWebPart {
public:
    virtual ~CWebPart() = default;
    // The web panel and the fleet's broker the command line or the profile
    // asks for, started before the window: none when neither is asked for,
    // or when it could not start (problem says why).
    static std::unique_ptr<CWebPart> Start(const StartOptions& options, QString& problem);
    // The part's entries in the Radio menu; running() is the part as started, or null.
    static void AddMenuEntries(QMenu* radioMenu, QWidget* parent, std::function<CWebPart*()> running);

    // Every login and logout goes on the station's record, and the fleet
    // reads the record as it is written.
    virtual void Attach(CTavrinView& view, CSilenceWatch& silence, CTransmitHolder& holder, CStationRecord& record,
                        QMenu* helpMenu, QWidget* parent) = 0;
};
