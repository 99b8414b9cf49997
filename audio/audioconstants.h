#pragma once
// One format end to end, so nothing between the sound card and the browser
// resamples: 48 kHz is Opus's own rate, mono is all a radio has, and 20 ms
// frames keep the delay low while staying Opus's most efficient size.
#include <QtGlobal>

constexpr int kAudioSampleRate = 48000;
constexpr int kAudioFrameMs = 20;
constexpr int kAudioFrameSamples = kAudioSampleRate * kAudioFrameMs / 1000;  // 960
constexpr int kAudioFrameBytes = kAudioFrameSamples * int(sizeof(qint16));
// Voice on HF needs no more; a listener stays well under 32 kbit/s with the
// framing around it.
constexpr int kAudioBitrate = 24000;
