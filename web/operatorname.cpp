#include "web/operatorname.h"

namespace {
bool IsNameCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'.'
        || u == u'_' || u == u'-';
}
} // namespace

bool IsUsableOperatorName(const QString& name, QString& why)
{
    if (name.isEmpty() || name.size() > kLongestOperatorName) {
        why = QStringLiteral("An operator's name has 1 to %1 characters.").arg(kLongestOperatorName);
        return false;
    }
    for (QChar c : name) {
        if (!IsNameCharacter(c)) {
            why = QStringLiteral("An operator's name may hold only letters A to Z, digits, '.', '_' and '-'.");
            return false;
        }
    }
    return true;
}
