// libFuzzer entry: any bytes as a CSV channel list to import, through the
// reader and the rows' checks, exported again and kept by the channel file.
#include "fuzzentries.h"
#include "fuzzmain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("channel CSV", &fuzzentry::ImportCsvBytes, data, size);
}
