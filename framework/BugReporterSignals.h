#pragma once

// The fatal-signal side of the crash reporter: the plan fixed at installation,
// copied into storage of its own, and the handler that carries it out.

#include <string>

struct CrashPlan {
    std::string folder; // the reporter's folder among the temporary items
    std::string tar; // the tar program, a full path
    std::string archive; // the packed reporter in the folder
    std::string report; // where the handler writes the report
    std::string reporter; // the reporter program once unpacked
    std::string log; // the debug log; may not exist
    std::string product;
    std::string version;
};

// False, installing nothing, when a path of the plan does not fit the handler's storage.
bool InstallCrashHandler(CrashPlan const& plan);
// Puts back the handlers found at installation.
void RemoveCrashHandler();
