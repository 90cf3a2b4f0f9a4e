// libFuzzer entry for the map document file (tools/fuzz.sh). Its messages come from the bundle.
#include "corefoundation/CFBundle.h"
#include "docwindow/tests/fuzz/FuzzDocumentEntry.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzDocumentInput(data, size);
}
