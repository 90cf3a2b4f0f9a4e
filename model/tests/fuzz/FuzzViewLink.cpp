// libFuzzer entry for the own view link (tools/fuzz.sh). Its format comes from the bundle.
#include "corefoundation/CFBundle.h"
#include "model/tests/fuzz/FuzzViewLinkEntry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzViewLinkInput(data, size);
}
