#include "channeleditor/viewchannelseam.h"

#include <QListWidget>
#include <cmath>
#include <cstring>

#include "channels/channelfile.h"
#include "channels/channelfilesave.h"
#include "channels/channellines.h"
#include "channels/channeltable.h"
#include "link/reportedstate.h"
#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "res/resource.h"

namespace {
QAbstractItemModel* ChannelListModel(CTavrinView& view)
{
    return static_cast<SimpleCombo*>(view.Form().Combo(IDC_CHANNELS))->List()->model();
}

// The radio's setting character ('1' first) as the file's letter, in the
// order of `letters`; 0 for a setting not reported.
char FileLetter(char reported, const char* letters)
{
    const int place = reported - '1';
    return place >= 0 && place < int(std::strlen(letters)) ? letters[place] : '\0';
}

// The channel file's route letters name three of the four switch pairs.
char RouteLetter(int extPtt, int localAudio)
{
    if (localAudio)
        return extPtt ? 'L' : '\0';
    return extPtt ? 'T' : 'R';
}
} // namespace

CViewChannelSeam::~CViewChannelSeam()
{
    for (const QMetaObject::Connection& watch : m_watches)
        QObject::disconnect(watch);
}

// The list's double-click selects the line, then runs the handler.
RecallResult CViewChannelSeam::Recall(int slot)
{
    if (m_view.m_cbChannels.SetCurSel(slot) != slot)
        return RecallResult::NoListLine;
    return m_view.OnCmdMsg(IDC_CHANNELS, Notification::DoubleClick) ? RecallResult::Sent : RecallResult::PortFailed;
}

// The report's 10 Hz grid, without the rounding of its decoding, so the
// slot holds the same two decimals the display shows.
std::optional<ChannelSlot> CViewChannelSeam::Reported() const
{
    const double kHz = std::round(m_view.DecodeFrequency() * 100.0) / 100.0;
    if (g_nFreqReports == 0 || !FrequencyFitsField(kHz))
        return std::nullopt;
    ChannelSlot now = NeverStoredSlot();
    now.freq = kHz;
    now.mode = FileLetter(g_chMode, "ULAC");
    now.agc = FileLetter(g_chAgc, "OSMF");
    now.input = FileLetter(g_chAudioInput, "MAP");
    now.route = RouteLetter(m_view.m_bExtPtt, m_view.m_bLocalAudio);
    return now;
}

bool CViewChannelSeam::SaveTable() { return WriteChannelFile(ChannelFileBytes()); }

// A list left empty by a missing file gets all 300 lines: the file now
// holds them, and a recall needs its line.
void CViewChannelSeam::ShowSlots(const QList<int>& which)
{
    CComboBox& list = m_view.m_cbChannels;
    if (list.GetCount() != kChannelCount) {
        ShowEveryChannel(list);
        return;
    }
    for (int slot : which)
        ShowChannel(list, slot);
}

// Whatever puts a slot's line into the list has just put the slot into the
// table: the loader and Save Chnl both do.
void CViewChannelSeam::WatchTable(std::function<void(int first, int last)> changed)
{
    m_watches << QObject::connect(ChannelListModel(m_view), &QAbstractItemModel::rowsInserted, &m_view,
                                  [changed](const QModelIndex&, int first, int last) { changed(first, last); });
}

void CViewChannelSeam::WatchClosing(std::function<void()> closing)
{
    m_watches << QObject::connect(&m_view, &CTavrinView::Closing, &m_view, closing);
}
