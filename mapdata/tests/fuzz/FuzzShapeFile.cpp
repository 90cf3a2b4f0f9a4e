// libFuzzer entry for the shapefile, shape index and dBase readers (clang only):
//   clang++ -fsanitize=fuzzer,address ... FuzzShapeFile.cpp; ./a.out mapdata/tests/fuzz/corpus
#include "mapdata/tests/fuzz/FuzzShapeFileEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzShapeFileInput(data, size);
}
