#pragma once
// What an operator of the web panel may do. Each role can do all that the
// one before it can: listen sees everything and changes nothing; operate
// also tunes, changes settings, recalls and scans; transmit also keys.
// watch stands apart: it opens the fleet's operations page only, never a
// station's panel.
#include <QString>
#include <optional>

enum class OperatorRole { Listen, Operate, Transmit, Watch };

QString RoleName(OperatorRole role);  // "listen", "operate", "transmit", "watch"
std::optional<OperatorRole> RoleFromName(const QString& name);
inline bool MayOperate(OperatorRole role) { return role == OperatorRole::Operate || role == OperatorRole::Transmit; }
inline bool MayTransmit(OperatorRole role) { return role == OperatorRole::Transmit; }
