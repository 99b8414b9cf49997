#pragma once
// What an operator of the web panel may do. Each role can do all that the
// one before it can: listen sees everything and changes nothing; operate
// also tunes, changes settings, recalls and scans; transmit also keys.
#include <QString>
#include <optional>

enum class OperatorRole { Listen, Operate, Transmit };

QString RoleName(OperatorRole role);  // "listen", "operate", "transmit"
std::optional<OperatorRole> RoleFromName(const QString& name);
inline bool MayOperate(OperatorRole role) { return role != OperatorRole::Listen; }
inline bool MayTransmit(OperatorRole role) { return role == OperatorRole::Transmit; }
