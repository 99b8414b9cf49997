// libFuzzer entry: any bytes as the web panel's operator file, read as
// the program reads it, written back and read again.
#include "fuzzentries.h"
#include "fuzzmain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("operator file", &fuzzentry::OperatorFileBytes, data, size);
}
