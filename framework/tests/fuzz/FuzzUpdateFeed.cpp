// libFuzzer entry for the update feed (version.xml) reader (tools/fuzz.sh).
#include "framework/tests/fuzz/FuzzUpdateFeedEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzUpdateFeedInput(data, size);
}
