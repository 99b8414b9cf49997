// libFuzzer entry: any bytes as what a rig-control client sends, cut into
// lines and answered command by command, whole and in pieces.
#include "fuzzentries.h"
#include "fuzzmain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("rig-control", &fuzzentry::RigClientBytes, data, size);
}
