#pragma once
// The text of rigctld's get_rig_info, as Debian's rigctld 4.5.4 lays it
// out: the main VFO's frequency, mode and width, a second VFO line (this
// radio has none: zeros and "None"), split, the radio's and the answering
// program's names, the layout's version, and the CRC-32 of all before it,
// by which a logger tells a change.
#include <QByteArray>

QByteArray RigInfoText(qint64 hz, const QByteArray& mode, int widthHz);
