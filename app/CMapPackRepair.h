#pragma once

// The repair of map packs in the shared folders (the local and system domains) that not
// every user can read: the user is told and asked; a repair makes every file and folder
// of the pack readable with administrator rights (find and chmod through the guard).

#include "foundation/CFile.h"

#include <vector>

class CMapPackRepair {
public:
    // Asks about each pack in turn; true when at least one was repaired, so that the maps
    // are loaded again. Cancel leaves a pack as it was.
    static bool OfferRepairs(std::vector<CFile> const& packs);
    // noErr once the tool ran to its end; errAuthorizationCanceled when the password was
    // refused or pkexec is missing; the tool's failure otherwise.
    static OSStatus Repair(CFile const& pack);
};
