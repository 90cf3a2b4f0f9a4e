#pragma once

// CFURL for file paths and web links. A file URL keeps an absolute POSIX path.

#include "corefoundation/CFString.h"

enum CFURLPathStyle : CFIndex {
    kCFURLPOSIXPathStyle = 0,
    kCFURLHFSPathStyle = 1, // "Volume:folder:file"; the volume is the file-system root here
};

namespace tw::cf {

class URL final : public Object {
public:
    explicit URL(std::u16string text);
    ~URL() override;
    CFTypeID TypeID() const override { return kTWTypeIDURL; }
    bool Equals(Object const& other) const override;
    CFHashCode Hash() const override;
    String* CopyDescription() const override;
    std::u16string const string; // the whole link, percent-escaped, e.g. "file:///home/a%20b/x.twk"
    String const* const stringObject; // owns; the same text, for CFURLGetString
};

} // namespace tw::cf

using CFURLRef = tw::cf::URL const*;

CFTypeID CFURLGetTypeID();
// Null when the text is not a well-formed link.
CFURLRef CFURLCreateWithString(CFAllocatorRef alloc, CFStringRef urlString, CFURLRef baseURL);
CFURLRef CFURLCreateWithFileSystemPath(
    CFAllocatorRef alloc, CFStringRef filePath, CFURLPathStyle pathStyle, Boolean isDirectory);
CFURLRef CFURLCreateFromFileSystemRepresentation(
    CFAllocatorRef alloc, UInt8 const* buffer, CFIndex bufLen, Boolean isDirectory);
CFURLRef CFURLCreateCopyAppendingPathComponent(
    CFAllocatorRef alloc, CFURLRef url, CFStringRef component, Boolean isDirectory);
CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef alloc, CFURLRef url);
CFURLRef CFURLCreateCopyAppendingPathExtension(CFAllocatorRef alloc, CFURLRef url, CFStringRef extension);
CFURLRef CFURLCreateCopyDeletingPathExtension(CFAllocatorRef alloc, CFURLRef url);
CFStringRef CFURLGetString(CFURLRef url); // borrowed
CFStringRef CFURLCopyFileSystemPath(CFURLRef url, CFURLPathStyle pathStyle);
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer, CFIndex maxBufLen);
CFStringRef CFURLCopyScheme(CFURLRef url);
CFStringRef CFURLCopyHostName(CFURLRef url);
SInt32 CFURLGetPortNumber(CFURLRef url); // -1 when none
CFStringRef CFURLCopyPath(CFURLRef url); // percent escapes removed
CFStringRef CFURLCopyQueryString(CFURLRef url, CFStringRef charactersToLeaveEscaped);
CFStringRef CFURLCopyLastPathComponent(CFURLRef url);
CFStringRef CFURLCopyPathExtension(CFURLRef url); // null when none
Boolean CFURLHasDirectoryPath(CFURLRef url);
CFStringRef CFURLCreateStringByAddingPercentEscapes(CFAllocatorRef alloc, CFStringRef s,
    CFStringRef charactersToLeaveUnescaped, CFStringRef legalURLCharactersToBeEscaped, CFStringEncoding encoding);
CFStringRef CFURLCreateStringByReplacingPercentEscapes(
    CFAllocatorRef alloc, CFStringRef s, CFStringRef charactersToLeaveEscaped);
