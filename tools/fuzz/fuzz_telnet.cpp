// libFuzzer entry: any bytes as a network radio's telnet stream, fed whole
// and in pieces, before and after the port settles, its answers checked and
// its data sent back.
#include "fuzzentries.h"
#include "fuzzmain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("telnet", &fuzzentry::TelnetBytes, data, size);
}
