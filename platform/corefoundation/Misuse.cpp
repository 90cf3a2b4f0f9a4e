#include "corefoundation/Misuse.h"

#include <cstdio>

namespace tw::cf {

void ReportMisuse(char const* function, char const* problem)
{
    std::fprintf(stderr, "%s: %s; call ignored\n", function, problem);
}

} // namespace tw::cf
