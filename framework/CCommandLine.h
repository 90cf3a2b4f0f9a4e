#pragma once

// The process arguments, program path first, for anyone who asks; main fills the
// default instance before the application runs. No option is read anywhere.

#include "foundation/CStringList.h"

class CCommandLine {
public:
    CCommandLine() = default;
    virtual ~CCommandLine() = default;

    static CCommandLine& GetDefaultCommandLine();

    // Appends every argument, read in the default text encoding, in order.
    void AddArgumentsFromArgv(int argc, char const* const* argv);
    CStringList const& GetArguments() const { return mArguments; }

private:
    CStringList mArguments;
};
