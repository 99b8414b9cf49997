#pragma once
// How the transmitter moved: the panel's own state (g_chTxState: Xmit,
// Tune, Receive, a lost link), the radio's report of it (m_nTxRx), or
// both, and where each stands now.
struct TransmitChange {
    bool panelChanged = false;
    bool radioChanged = false;
    bool panelKeyed = false;  // g_chTxState is 'K'
    bool radioKeyed = false;  // the radio last reported transmit
};
