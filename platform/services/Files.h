#pragma once

// File Manager and Folder Manager on Linux paths. FSRef and FSSpec carry an
// absolute POSIX path in a fixed buffer, so that they stay plain bytes for
// descriptors and drags. Standard folders are the XDG ones. A file's type,
// creator and hidden-extension flag live in `user.` extended attributes where
// the file system has them, and come from the extension otherwise.

#include "corefoundation/MacTypes.h"

#include <string>

inline constexpr std::size_t kTWMaxPathLength = 4096; // with the terminating zero

struct FSRef {
    char path[kTWMaxPathLength];
};

struct FSSpec {
    char path[kTWMaxPathLength];
};

using FSVolumeRefNum = SInt16;
using FolderType = OSType;

enum : SInt16 {
    kOnSystemDisk = -32768,
    kOnAppropriateDisk = -32767,
    kSystemDomain = -32766,
    kLocalDomain = -32765,
    kNetworkDomain = -32764,
    kUserDomain = -32763,
};

enum : FolderType {
    kApplicationSupportFolderType = 'asup',
    kDesktopFolderType = 'desk',
    kPreferencesFolderType = 'pref',
    kTemporaryFolderType = 'temp',
    kChewableItemsFolderType = 'flnt',
};

// "No type": written so, since '????' would read as trigraphs.
inline constexpr OSType kUnknownType = TWFourCharCode('?', '?', '?', '?');

enum : Boolean {
    kDontCreateFolder = 0,
    kCreateFolder = 1,
};

// fnfErr when nothing exists at the path; paramErr for a relative or too long path.
OSStatus FSPathMakeRef(UInt8 const* path, FSRef* ref, Boolean* isDirectory);
OSStatus FSRefMakePath(FSRef const* ref, UInt8* path, UInt32 maxPathSize);

// user Application Support = $XDG_DATA_HOME, local = /usr/local/share, system = /usr/share;
// preferences = $XDG_CONFIG_HOME; desktop = $XDG_DESKTOP_DIR or ~/Desktop; temporary
// items = $TMPDIR or /tmp. fnfErr when the domain has no such folder, or when it is
// missing and not to be created.
OSErr FSFindFolder(FSVolumeRefNum vRefNum, OSType folderType, Boolean createFolder, FSRef* foundRef);

// The hidden-extension flag of the Finder, kept in an extended attribute.
OSStatus LSSetExtensionHiddenForRef(FSRef const* inRef, Boolean inHide);

namespace tw::services {

// The folder FSFindFolder answers, as a path (empty when there is none); nothing is created.
std::string StandardFolderPath(SInt16 domain, OSType folderType);

// Type and creator: the extended attributes when present, else the extension's entry
// in our table, else 0. fnfErr when the file does not exist.
OSStatus GetTypeAndCreator(std::string const& path, OSType* type, OSType* creator);
// Writes both attributes. A file system without extended attributes is not an error:
// the type then comes from the extension, as for any file made elsewhere.
OSStatus SetTypeAndCreator(std::string const& path, OSType type, OSType creator);
bool IsExtensionHidden(std::string const& path);
OSStatus SetExtensionHidden(std::string const& path, bool hidden);

// fnfErr, permErr, dupFNErr, wrPermErr, memFullErr or ioErr for an errno value.
OSStatus StatusFromErrno(int error);

// Copies a path into a fixed buffer; false (and an empty buffer) when it does not fit.
bool CopyPath(std::string const& path, char (&buffer)[kTWMaxPathLength]);

} // namespace tw::services
