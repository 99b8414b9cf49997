#pragma once
#include <QByteArray>
#include <functional>

// A channel file on port 1, 9600 O 7 1, jog limits 7000 to 7300 kHz and the
// given channel-scan range, with the slots `store` fills (see StoreChannel)
// and the rest never stored, as the program itself writes it.
QByteArray ChannelFileWith(int chanLower, int chanUpper, const std::function<void()>& store);

// Stores a slot while ChannelFileWith builds its file. `letters` are mode,
// AGC, audio input and route, e.g. "LSMR".
void StoreChannel(int slot, double frequency, const char* letters, const char* description);

// Channels 0 to 3 stored, scan range 0 to 3.
QByteArray SampleChannelFile();
const QByteArray& SampleChannelFileOnce();  // the same, built once per test run
void WriteSampleChannelFile();  // into the working directory, as h350save.dat

// The file as the panel leaves it once it has read it: what every later save
// writes again unchanged.
QByteArray SteadyChannelFile(const QByteArray& file);
