#pragma once

// Alias Manager: an alias is our own record of a file's absolute path, its
// device and inode and, when made relative to another file, the path from that
// file's folder. It resolves by path, then relative to the given file, then by
// inode in the original folder, so a file renamed in its folder is still found.
// Alias files are symbolic links.

#include "services/Files.h"
#include "services/MacMemory.h"

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
