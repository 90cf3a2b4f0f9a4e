// libFuzzer entry for the Garmin USB framer and record readers (clang only):
//   clang++ -fsanitize=fuzzer,address ... FuzzGarminRecords.cpp; ./a.out devices/tests/fuzz/corpus-garmin
#include "devices/tests/fuzz/FuzzDeviceInputEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) { return tw::fuzz::FuzzGarminInput(data, size); }
