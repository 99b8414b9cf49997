#include "keying/keyer.h"

QString Keyer::Who() const
{
    switch (kind) {
    case Kind::Panel:
        return QStringLiteral("the panel");
    case Kind::StationProgram:
        return QStringLiteral("station program %1").arg(name);
    case Kind::WebOperator:
        return QStringLiteral("web operator %1").arg(name);
    case Kind::Radio:
        return QStringLiteral("the radio");
    }
    return QString();
}
