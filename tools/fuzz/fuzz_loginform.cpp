// libFuzzer entry: any bytes as the body of the web panel's login form,
// read as the server reads it, posted again and through the throttle.
#include "fuzzmain.h"
#include "webentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("login form", &fuzzentry::LoginFormBytes, data, size);
}
