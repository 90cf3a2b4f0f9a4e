#pragma once

// Checks shared by the CFString calls: a usable range, a mutable string.

#include "corefoundation/CFString.h"

namespace tw::cf {

bool IsValidRange(String const* s, CFRange range);
// False (with a report) for a null or immutable string.
bool CheckMutable(String const* s, char const* function);
// Unicode white space, for trimming and number parsing.
bool IsWhitespace(char16_t unit);

} // namespace tw::cf
