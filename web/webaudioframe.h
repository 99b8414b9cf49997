#pragma once
// The audio on the page's WebSocket, in binary messages beside the JSON
// ones: a kind byte, a 4-byte big-endian sequence number (20 ms a step),
// then one Opus packet. The station sends receive frames; a page sends its
// microphone's, which are heard only from a transmit role and only through
// the gate.
#include <QByteArray>
#include <QtGlobal>
#include <optional>

#include "web/operatorrole.h"

enum class WebAudioKind : quint8 { Receive = 1, Microphone = 2 };

struct WebAudioFrame {
    WebAudioKind kind = WebAudioKind::Receive;
    quint32 sequence = 0;
    QByteArray opus;
};

constexpr int kWebAudioHeaderBytes = 5;
// libopus's largest packet; anything longer is not one frame of ours.
constexpr int kWebAudioMostOpusBytes = 1275;

QByteArray MakeWebAudioFrame(WebAudioKind kind, quint32 sequence, const QByteArray& opus);
// None for a message too short or too long, of an unknown kind, or empty.
std::optional<WebAudioFrame> ParseWebAudioFrame(const QByteArray& message);
// Whether a page of `role` may send this message toward the transmitter's
// gate at all: a microphone frame from a transmit role only.
bool MicFrameFromRole(const WebAudioFrame& frame, OperatorRole role);
