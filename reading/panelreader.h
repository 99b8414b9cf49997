#pragma once
// Reads the panel into a PanelReading: the view's members and the
// last-reported globals; whether the radio is heard from the watch that
// also says so in the window title, and who holds the transmitter from the
// holder, where they are given.
#include "reading/panelreading.h"

class CSilenceWatch;
class CTavrinView;
class CTransmitHolder;

class CPanelReader {
public:
    explicit CPanelReader(CTavrinView& view, const CSilenceWatch* silence = nullptr,
                          CTransmitHolder* holder = nullptr)
        : m_view(view), m_silence(silence), m_holder(holder)
    {
    }

    PanelReading Read() const;

private:
    CTavrinView& m_view;
    const CSilenceWatch* m_silence;
    CTransmitHolder* m_holder;
};
