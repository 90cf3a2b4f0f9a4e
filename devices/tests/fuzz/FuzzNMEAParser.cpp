// libFuzzer entry for the NMEA reader (clang only):
//   clang++ -fsanitize=fuzzer,address ... FuzzNMEAParser.cpp; ./a.out devices/tests/fuzz/corpus-nmea
#include "devices/tests/fuzz/FuzzDeviceInputEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) { return tw::fuzz::FuzzNMEAInput(data, size); }
