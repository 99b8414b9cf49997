// libFuzzer entry: any bytes as what a connection to the web panel sends, through the request gate, whole and in pieces.
#include "fuzzmain.h"
#include "webentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("HTTP request", &fuzzentry::HttpRequestBytes, data, size);
}
