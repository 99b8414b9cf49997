#pragma once
// The channel table as CSV and back: one row per slot under the header
// Slot,Frequency kHz,Mode,AGC,Input,Route,Description. Mode, AGC and input
// are written by the names the panel's captions use, a letter without a
// name as the letter; a never-stored slot has a number and nothing else.
#include <QByteArray>
#include <QMap>
#include <QStringList>

#include "channeleditor/channelslot.h"

extern const char* const g_szChannelCsvHeader;

// The stored slots, or all 300, under the header.
QByteArray ChannelsAsCsv(const ChannelSlots& table, bool allSlots);
// The rows of these slots alone, without the header, as a copy puts them
// on the clipboard.
QByteArray SlotRowsAsCsv(const ChannelSlots& table, const QList<int>& which);

// What a CSV text would put into the table. It is taken whole or not at
// all: when problems is not empty, rows must not be used.
struct ChannelRows {
    QList<QPair<int, ChannelSlot>> rows;  // slot and its value, in the text's order
    QStringList problems;                 // "line 7: ..." for every bad row
};

// A header row at the top is optional: a clipboard holds rows alone.
// Rows name their slot; no slot may be named twice.
ChannelRows ReadChannelRows(const QByteArray& csv);

// The rows placed by their slot numbers: what an import changes.
QMap<int, ChannelSlot> PlacedBySlot(const ChannelRows& rows);
