// libFuzzer entry for the GPX parser (clang only): configure a build with clang and
// -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address", build FuzzParserGPX, and run
//   build-fuzz/model/FuzzParserGPX model/tests/fuzz/corpus/gpx
#include "model/tests/fuzz/FuzzImportEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzImportInput(data, size, false);
}
