#pragma once
#include <QByteArray>

// A channel file on port 1 with a few stored channels, the rest never
// stored, as the program itself writes it.
QByteArray SampleChannelFile();
void WriteSampleChannelFile();  // into the working directory, as h350save.dat
