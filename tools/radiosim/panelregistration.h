#pragma once

#include <QString>

namespace radiosim {

// Where the panel looks up which device stands for a COM port number: its
// profile settings, under the organisation name its Windows ancestor used.
namespace PanelRegistration {

QString settingsKey(int commPort);
// Returns the settings file written, or an empty string on failure.
QString registerPort(int commPort, const QString &devicePath);

} // namespace PanelRegistration
} // namespace radiosim
