#include "web/operatorrole.h"

namespace {
struct RoleWord {
    OperatorRole role;
    const char* name;
};
constexpr RoleWord kRoleWords[] = {
    {OperatorRole::Listen, "listen"},
    {OperatorRole::Operate, "operate"},
    {OperatorRole::Transmit, "transmit"},
    {OperatorRole::Watch, "watch"},
};
} // namespace

QString RoleName(OperatorRole role)
{
    for (const RoleWord& word : kRoleWords)
        if (word.role == role)
            return QString::fromLatin1(word.name);
    return QString();
}

std::optional<OperatorRole> RoleFromName(const QString& name)
{
    for (const RoleWord& word : kRoleWords)
        if (name == QLatin1String(word.name))
            return word.role;
    return std::nullopt;
}
