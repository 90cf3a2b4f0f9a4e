#include "framework/CCommandLine.h"

#include "foundation/CTextUtilities.h"

CCommandLine& CCommandLine::GetDefaultCommandLine()
{
    static CCommandLine sDefault;
    return sDefault;
}

void CCommandLine::AddArgumentsFromArgv(int argc, char const* const* argv)
{
    for (int i = 0; argv && i < argc; ++i)
        if (argv[i])
            mArguments.Append(CString(argv[i], CTextUtilities::GetDefaultTextEncoding()));
}
