// libFuzzer entry for the LOC parser (clang only); built and run as FuzzParserGPX is:
//   build-fuzz/model/FuzzParserLoc model/tests/fuzz/corpus/loc
#include "model/tests/fuzz/FuzzImportEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzImportInput(data, size, true);
}
