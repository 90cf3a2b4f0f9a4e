// libFuzzer entry for the Garmin USB framer and record readers (clang only):
//   target fuzz_garmin_records of a clang tree (devices/CMakeLists.txt); run it on devices/tests/fuzz/corpus-garmin
#include "devices/tests/fuzz/FuzzDeviceInputEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzGarminInput(data, size);
}
