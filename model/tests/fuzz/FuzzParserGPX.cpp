// libFuzzer entry for the GPX parser (clang only): in a clang tree configured with
// -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address" build fuzz_parser_gpx and run
//   build-fuzz/model/fuzz_parser_gpx NEW_CORPUS model/tests/fuzz/corpus-gpx -dict=model/tests/fuzz/Import.dict
#include "model/tests/fuzz/FuzzImportEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzImportInput(data, size, false);
}
