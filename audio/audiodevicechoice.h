#pragma once
// Finding the sound card the operator named: by the id Qt gives it or by
// its description, the name --list-audio prints and a desktop's sound
// settings show. A description two cards share names neither: the id must.
#include <QAudioDevice>
#include <QList>
#include <QString>
#include <optional>

struct AudioDeviceName {
    QString id;
    QString description;
};

// The index in `devices` of the one `wanted` names. None, with problem set
// as a sentence, when it names no device or more than one.
std::optional<int> ChooseAudioDevice(const QList<AudioDeviceName>& devices, const QString& wanted,
                                     const QString& kind, QString& problem);

// The input or output `wanted` names; empty `wanted`: the system's default
// (null where the computer has none). Needs an application object.
std::optional<QAudioDevice> FindAudioInput(const QString& wanted, QString& problem);
std::optional<QAudioDevice> FindAudioOutput(const QString& wanted, QString& problem);
