// libFuzzer entry for the NMEA reader (clang only):
//   target fuzz_nmea_parser of a clang tree (devices/CMakeLists.txt); run it on devices/tests/fuzz/corpus-nmea
#include "devices/tests/fuzz/FuzzDeviceInputEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) { return tw::fuzz::FuzzNMEAInput(data, size); }
