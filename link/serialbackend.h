#pragma once
// The serial port of the platform the program was built for: Qt Serial Port
// on Linux, Windows' own communications API on Windows.
#include <memory>

#include "link/commbackend.h"

std::unique_ptr<CommBackend> MakeSerialBackend();
