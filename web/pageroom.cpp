#include "web/pageroom.h"

QString PageRoomRefusal(int pagesOpen, int pagesOfOperator, OperatorRole role)
{
    if (pagesOfOperator >= kMostPagesPerOperator)
        return QStringLiteral("this operator has %1 pages open already; close one first").arg(kMostPagesPerOperator);
    const int room = MayTransmit(role) ? kMostPages : kMostPages - kPagesKeptForTransmit;
    if (pagesOpen >= room)
        return QStringLiteral("%1 pages are open already").arg(pagesOpen);
    return QString();
}
