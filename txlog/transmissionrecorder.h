#pragma once
// Writes a record of each transmission as the holder of the transmitter
// sees it begin and end: the one place every keying path passes, so none
// writes lines of its own. The frequency and mode are the radio's last
// report when it began.
#include <QObject>

#include "keying/keyer.h"

class CTransmissionFile;
class CTransmitHolder;

class CTransmissionRecorder : public QObject {
    Q_OBJECT
public:
    CTransmissionRecorder(CTransmitHolder& holder, CTransmissionFile& file, QObject* parent = nullptr);

private:
    void OnBegan(const Keyer& who);
    void OnEnded(const QString& why);

    CTransmissionFile& m_file;
};
