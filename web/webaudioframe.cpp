#include "web/webaudioframe.h"

#include <QtEndian>

QByteArray MakeWebAudioFrame(WebAudioKind kind, quint32 sequence, const QByteArray& opus)
{
    QByteArray message(kWebAudioHeaderBytes, Qt::Uninitialized);
    message[0] = char(kind);
    qToBigEndian(sequence, message.data() + 1);
    message.append(opus);
    return message;
}

std::optional<WebAudioFrame> ParseWebAudioFrame(const QByteArray& message)
{
    if (message.size() <= kWebAudioHeaderBytes || message.size() > kWebAudioHeaderBytes + kWebAudioMostOpusBytes)
        return std::nullopt;
    const quint8 kind = quint8(message[0]);
    if (kind != quint8(WebAudioKind::Receive) && kind != quint8(WebAudioKind::Microphone))
        return std::nullopt;
    WebAudioFrame frame;
    frame.kind = WebAudioKind(kind);
    frame.sequence = qFromBigEndian<quint32>(message.constData() + 1);
    frame.opus = message.mid(kWebAudioHeaderBytes);
    return frame;
}

bool MicFrameFromRole(const WebAudioFrame& frame, OperatorRole role)
{
    return frame.kind == WebAudioKind::Microphone && MayTransmit(role);
}
