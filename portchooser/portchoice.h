#pragma once
// Choosing the radio's port from the window: offered when the port does not
// open at start-up or at a new document, and from the menu whenever the user
// asks. The choice is kept in the profile as Ports/COM<n> and opened at once.
#include <QObject>
#include <QString>
#include <functional>

class CPortChooserDlg;
struct LineSettings;
class CTavrinView;
class QWidget;

// Runs the dialog and returns its result. Tests replace the run, so that no
// modal loop ever waits for an answer nobody gives; an empty runner restores
// the modal dialog.
using PortChooserRunner = std::function<int(CPortChooserDlg& dialog)>;
void SetPortChooserRunner(PortChooserRunner runner);

class CPortChoice {
public:
    CPortChoice(CTavrinView& view, QWidget* dialogParent);

    // A user whose port opens never sees the dialog unless asking for it.
    void OfferIfPortClosed();
    void Offer();

private:
    void OfferOnceSettled(bool failed);
    void Apply(const QString& device, const LineSettings& line);

    CTavrinView& m_view;
    QWidget* m_dialogParent;
    bool m_offerWhenSettled = false;
    QObject m_settled;  // the answers to an open under way reach this, not a choice that is gone
};
