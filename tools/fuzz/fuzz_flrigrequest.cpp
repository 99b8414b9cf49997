// libFuzzer entry: any bytes as what a station program sends the flrig
// server, read into requests and checked.
#include "fuzzentries.h"
#include "fuzzmain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("flrig request", &fuzzentry::FlrigRequestBytes, data, size);
}
