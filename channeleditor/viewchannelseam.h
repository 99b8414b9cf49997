#pragma once
#include <QMetaObject>

#include "channeleditor/channelseam.h"

class CTavrinView;

// The panel's side of the seam: a recall is the channel list's own
// double-click, run the way the panel runs its handlers.
class CViewChannelSeam : public CChannelSeam {
public:
    explicit CViewChannelSeam(CTavrinView& view) : m_view(view) {}
    ~CViewChannelSeam() override;

    RecallResult Recall(int slot) override;
    std::optional<ChannelSlot> Reported() const override;
    bool SaveTable() override;
    void ShowSlots(const QList<int>& which) override;
    void WatchTable(std::function<void(int first, int last)> changed) override;
    void WatchClosing(std::function<void()> closing) override;

private:
    CTavrinView& m_view;
    // What is watched stops being told when the seam goes.
    QList<QMetaObject::Connection> m_watches;
};
