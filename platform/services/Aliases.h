#pragma once

// Alias Manager: an alias is our own record of a file's absolute path, its
// device and inode and, when made relative to another file, the path from that
// file's folder. It resolves by path, then relative to the given file, then by
// inode in the original folder, so a file renamed in its folder is still found.
// Alias files are symbolic links.

#include "services/Files.h"
#include "services/MacMemory.h"

#include <string>

struct AliasRecord; // opaque: the bytes of the record
using AliasPtr = AliasRecord*;
using AliasHandle = AliasPtr*; // a Memory Manager handle; DisposeHandle((Handle)alias) frees it

// paramErr without a target; fnfErr when the target does not exist.
OSErr FSNewAlias(FSRef const* fromFile, FSRef const* target, AliasHandle* inAlias);
// fnfErr when the file cannot be found, paramErr for a damaged record.
OSErr FSResolveAlias(FSRef const* fromFile, AliasHandle alias, FSRef* target, Boolean* wasChanged);
// Follows a symbolic link (chains too when asked) to what it names; wasAliased is false for other files.
OSErr FSResolveAliasFile(FSRef* theRef, Boolean resolveAliasChains, Boolean* targetIsFolder, Boolean* wasAliased);
Boolean FSIsAliasFile(FSRef const* fileRef);

namespace tw::services {

// Follows one file wherever it is renamed or moved on its file system, for as long as this
// object lives, through a descriptor that names no content (it keeps the file system mounted).
class FileFollower {
public:
    FileFollower() = default;
    ~FileFollower();
    FileFollower(FileFollower const&) = delete;
    FileFollower& operator=(FileFollower const&) = delete;

    // Follows the file at path from now on (none when empty or not there).
    void Follow(std::string const& path);
    // Where the file is now; empty when it was deleted or put in the trash, or nothing is followed.
    std::string GetPath() const;

private:
    int mDescriptor = -1;
};

} // namespace tw::services
