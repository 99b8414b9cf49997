#pragma once
// How many live pages the station keeps open, and for whom. Every page
// costs the panel a write per change, so there is a total; each operator
// has a share of it, so that one operator's tabs cannot keep the others
// out; and a few places are kept for those who may transmit, so that
// watchers, however many, never keep out the operator who is to key.
#include <QString>

#include "web/operatorrole.h"

constexpr int kMostPages = 20;
constexpr int kMostPagesPerOperator = 4;
constexpr int kPagesKeptForTransmit = 4;

// Why one more page of this operator is refused, or empty.
QString PageRoomRefusal(int pagesOpen, int pagesOfOperator, OperatorRole role);
