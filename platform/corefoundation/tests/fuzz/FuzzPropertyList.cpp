// libFuzzer entry for the XML property-list reader and writer (tools/fuzz.sh).
#include "corefoundation/tests/fuzz/FuzzPropertyListEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzPropertyListInput(data, size);
}
