// libFuzzer entry for the device description bundles (tools/fuzz.sh).
#include "devices/tests/fuzz/FuzzDeviceDescriptionEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzDeviceDescriptionInput(data, size);
}
