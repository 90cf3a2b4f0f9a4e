#pragma once

// The repair of map packs in the shared folders (the local and system domains) that not
// every user can read: the user is told and asked; a repair makes every file and folder
// of the pack readable with administrator rights, through the helper program beside the
// executable (tarnwick-repair-pack), which never follows a link.

#include "foundation/CFile.h"

#include <string>
#include <vector>

class CMapPackRepair {
public:
    // Asks about each pack in turn; true when at least one was repaired, so that the maps
    // are loaded again. Cancel leaves a pack as it was.
    static bool OfferRepairs(std::vector<CFile> const& packs);
    // noErr once the helper changed every entry it may change; errAuthorizationCanceled when
    // the password was refused or pkexec is missing; fnfErr when the helper is missing;
    // ioErr when it left entries it should have changed.
    static OSStatus Repair(CFile const& pack);
    // The helper in the main bundle; empty when there is no bundle.
    static std::string GetToolPath();
};
