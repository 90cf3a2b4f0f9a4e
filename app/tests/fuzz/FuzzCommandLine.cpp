// libFuzzer entry for the command line and its hand-over to a running instance (tools/fuzz.sh).
#include "app/tests/fuzz/FuzzCommandLineEntry.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    return tw::fuzz::FuzzCommandLineInput(data, size);
}
