#pragma once

// A reference to a file or folder by its absolute path; the item need not
// exist yet (a folder's child about to be created). Type, creator and the
// hidden-extension flag are the platform's extended attributes.

#include "foundation/CString.h"

#include <string>

class CFile {
public:
    enum : UInt32 {
        kForkData = 0,
        kForkResource = 1, // always empty here
    };

    CFile() = default;
    // A relative POSIX path is taken from the working folder. Path style 1 is an HFS path.
    explicit CFile(CString const& path, UInt32 pathStyle = kCFURLPOSIXPathStyle);
    explicit CFile(FSRef const& ref);
    explicit CFile(FSSpec const& spec);
    explicit CFile(CFURLRef url); // file URLs only

    bool IsSpecified() const { return !mPath.empty(); }
    bool Exists() const; // file or folder
    bool FileExists() const;
    bool DirectoryExists() const;
    bool IsSameFile(CFile const& other) const; // the same file-system object, through any link
    bool operator==(CFile const& other) const { return mPath == other.mPath; }
    bool operator!=(CFile const& other) const { return mPath != other.mPath; }

    CFile GetChild(CString const& name) const;
    CFile GetParent() const;
    CString GetFileName() const;
    CString GetDisplayName() const; // the name without its extension when the extension is hidden
    CString GetExtension() const; // without the dot; empty when none
    CString GetFullPath() const;
    std::string const& GetPath() const { return mPath; }
    CFURLRef CopyURL() const; // the caller releases it; null when unspecified

    OSType GetFileType() const;
    OSType GetFileCreator() const;
    SInt64 GetForkSize(UInt32 fork = kForkData) const; // [bytes]; -1 when the file is missing
    OSStatus GetFSRef(FSRef& ref) const; // fnfErr when the item does not exist
    OSStatus GetFSSpec(FSSpec& spec) const;
    // A new alias handle (DisposeHandle frees it), made relative to the given file when there
    // is one; null on failure.
    AliasHandle CreateAlias(CFile const* relativeTo) const;

    OSStatus SetFileCreatorAndType(OSType creator, OSType type);
    OSStatus SetExtensionVisible(bool visible);
    // Renames within the folder; dupFNErr when the name is taken and replacing is not asked.
    OSStatus Rename(CString const& newName, bool replaceExisting = false);

private:
    void SetPath(std::string const& path);

    std::string mPath; // absolute and normalised; empty when unspecified
};
