// libFuzzer entry: any bytes as the body of a call to the flrig server,
// read, answered and checked.
#include "fuzzentries.h"
#include "fuzzmain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("XML-RPC", &fuzzentry::XmlRpcBytes, data, size);
}
