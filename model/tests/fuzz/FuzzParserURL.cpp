// libFuzzer entry for the map link parser (clang only). Configure a clang tree for fuzzing,
// build the entry and run it on the seed corpus:
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTW_SANITIZE=ON -DTW_BUILD_TESTS=OFF \
//       -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
//   cmake --build build-fuzz --target fuzz_parser_url
//   build-fuzz/model/fuzz_parser_url -max_total_time=300 model/tests/fuzz/corpus
// The own view link's format comes from the bundle named by TW_BUNDLE_DIR.
#include "corefoundation/CFBundle.h"
#include "model/tests/fuzz/FuzzParserURLEntry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
#ifdef TW_BUNDLE_DIR
    tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
#endif
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzParserURLInput(data, size);
}
