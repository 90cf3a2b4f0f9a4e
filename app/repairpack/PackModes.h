#pragma once

// Makes a map pack readable by every user (a+rX) without ever following a link: the
// administrator's helper runs this on a pack in a shared folder that other users may be
// able to write into. Each entry is checked without following links, then opened with
// O_NOFOLLOW and changed through the descriptor only when it is still the entry that was
// checked. Links, other file systems (mount points inside the pack), special files and
// files with more than one name are left as they are. No project libraries: it runs as root.

#include <functional>
#include <string>

namespace tw::repairpack {

struct PackModesResult {
    int changed = 0; // entries whose mode was changed
    int skipped = 0; // links, special files, other file systems, files swapped during the walk
    int failed = 0; // entries that could not be read or changed
    std::string messages; // one line per skipped or failed entry, in words
};

// Called between the check of an entry and its change (tests swap the entry there).
using BeforeChange = std::function<void(int folder, char const* name)>;

// root must name a folder itself (not through a link as its last part). False when it
// cannot be opened as one; the result then says why.
bool MakeReadableByEveryone(std::string const& root, PackModesResult& result, BeforeChange const& beforeChange = {});

// The mode a+rX makes of mode: read for all; execute for all on folders and on files
// that already have an execute bit.
unsigned ReadableMode(unsigned mode, bool folder);

} // namespace tw::repairpack
