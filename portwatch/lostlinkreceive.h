#pragma once
// A transmission nobody is making any more: when the link to the radio is
// lost while the panel holds the transmitter keyed, the panel goes to
// receive as the Receive button would, without sending (there is nothing to
// send to). The poll then carries "U" again, so the first poll after the
// link is back unkeys a radio that was left keyed at the far end, instead of
// keying it again with the operator perhaps gone.
//
// It listens to the control's lost-port signal, whatever kind of port lost
// its link.
#include <QObject>

class CTavrinView;
struct CommError;

class CLostLinkReceive : public QObject {
    Q_OBJECT
public:
    // Lives as long as the view it watches.
    explicit CLostLinkReceive(CTavrinView& view);

private:
    void OnPortLost(const CommError& error);

    CTavrinView& m_view;
};
