// libFuzzer entry: any bytes as a station's retained state as the fleet console takes it from the broker
// and shows it.
#include "fuzzmain.h"
#include "webentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("station state", &fuzzentry::StationStateBytes, data, size);
}
