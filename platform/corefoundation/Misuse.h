#pragma once

// One-line report of a programming error that the layer survives (mutating an
// immutable container, an index out of range): the call is ignored, not fatal.

namespace tw::cf {

void ReportMisuse(char const* function, char const* problem);

} // namespace tw::cf
