// libFuzzer entry: any bytes as the channel file, through ReadChannelTable,
// every slot's channel line, and the file written back and read again.
#include "fuzzentries.h"
#include "fuzzmain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("channel file", &fuzzentry::ReadChannelBytes, data, size);
}
