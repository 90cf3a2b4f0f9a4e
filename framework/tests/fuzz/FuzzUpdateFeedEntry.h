#pragma once

// The body of the update feed's fuzz entry, shared with the test that replays the seed
// corpus. A feed read keeps its products and finds each by its code; a refused one keeps the
// products read before.

#include "foundation/Status.h"
#include "framework/CSoftwareUpdate.h"

#include <cstdint>

namespace tw::fuzz {

inline int FuzzUpdateFeedInput(uint8_t const* data, size_t size)
{
    static char const kKnown[] = "<pellmar><product code=\"TWik\"><version>1.0</version></product></pellmar>";
    CSoftwareUpdate update;
    if (update.ParseXML(sizeof kKnown - 1, kKnown) != noErr || update.GetProducts().size() != 1)
        __builtin_trap();
    OSStatus const status = update.ParseXML(size, data);
    if (status != noErr) {
        if (update.GetProducts().size() != 1 || update.GetProductVersion("TWik") != CString("1.0"))
            __builtin_trap(); // a bad feed must not cost what was known
        return 0;
    }
    for (SUProduct const& product : update.GetProducts()) {
        SUProduct found;
        if (!update.FindProduct(product.code, found))
            __builtin_trap();
    }
    return 0;
}

} // namespace tw::fuzz
