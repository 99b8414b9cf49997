#pragma once
// One format end to end, so nothing between the sound card and the browser
// resamples: 48 kHz is Opus's own rate, mono is all a radio has, and 20 ms
// frames keep the delay low while staying Opus's most efficient size.
#include <QAudioFormat>
#include <QtGlobal>

constexpr int kAudioSampleRate = 48000;
constexpr int kAudioFrameMs = 20;
constexpr int kAudioFrameSamples = kAudioSampleRate * kAudioFrameMs / 1000;  // 960
constexpr int kAudioFrameBytes = kAudioFrameSamples * int(sizeof(qint16));
// Voice on HF needs no more; a listener stays well under 32 kbit/s with the
// framing around it.
constexpr int kAudioBitrate = 24000;

// The sound card's side of that format, for capture and playback alike.
inline QAudioFormat StationAudioFormat()
{
    QAudioFormat format;
    format.setSampleRate(kAudioSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}
