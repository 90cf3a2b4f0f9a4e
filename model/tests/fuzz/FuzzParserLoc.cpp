// libFuzzer entry for the LOC parser (clang only); built and run as the GPX entry is:
//   build-fuzz/model/fuzz_parser_loc NEW_CORPUS model/tests/fuzz/corpus-loc -dict=model/tests/fuzz/Import.dict
#include "model/tests/fuzz/FuzzImportEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzImportInput(data, size, true);
}
