#pragma once
// Writes a record of each transmission as the holder of the transmitter
// sees it begin and end: the one place every keying path passes, so none
// writes lines of its own. The frequency and mode are the radio's last
// report when it began.
//
// A transmission a killed run left on the air goes on in its own record
// when the radio's first report still says transmit, and ends when this
// start's status query ends it, rather than counting as a new one by the
// radio.
#include <QObject>

#include "keying/keyer.h"

class CTransmissionFile;
class CTransmitHolder;
class CTavrinView;

class CTransmissionRecorder : public QObject {
    Q_OBJECT
public:
    CTransmissionRecorder(CTransmitHolder& holder, CTavrinView& view, CTransmissionFile& file,
                          QObject* parent = nullptr);

private:
    void OnBegan(const Keyer& who);
    void OnEnded(const QString& why);

    CTransmissionFile& m_file;
    bool m_tookUpLeftOpen = false;
};
