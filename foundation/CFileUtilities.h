#pragma once

// Static file functions: bundle resources, standard folders, aliases,
// extensions, temporary files, whole-file reads and writes, and the files of
// Apple-event lists. Writes are atomic: a file is whole or untouched.

#include "foundation/CFile.h"
#include "foundation/CFileList.h"
#include "foundation/CMemBuffer.h"

#include <functional>
#include <string>

struct NavReplyRecord;

class CFileUtilities {
public:
    // Empty type and folder: the name unchanged, in the resources folder. Unspecified when missing.
    static CFile GetBundleResource(CString const& name, CString const& type, CString const& folder);
    static CFile GetApplicationFile(); // the running application bundle
    static CFile GetFileInAppFolder(CString const& name); // beside the application bundle

    // The domain's standard folder, or its named subfolder; created when asked. Unspecified
    // when there is no such folder, or it is missing and not to be made.
    static CFile FindFolder(short domain, OSType folderType, bool create, CString const& subfolder);

    // Every file of an Apple-event list (or the one file of a descriptor), in list order: file
    // references, file specifications, file URLs, aliases and absolute paths as text.
    // errAEWrongDataType for an item that names no file; the list is then left as it was.
    static OSStatus GetAEDescListFiles(AEDesc const* list, CFileList& files);
    static OSStatus GetAEDescFile(AEDesc const* desc, CFile& file);
    // A new file URL descriptor (typeFileURL) for the file; the caller disposes of it.
    static OSStatus GetAEDescFromFile(CFile const& file, AEDesc* desc);
    // The files a navigation dialog's reply chose (for a save: the file to write).
    static OSStatus GetNavReplyFile(NavReplyRecord const& reply, CFile& file);
    static OSStatus GetNavReplyFiles(NavReplyRecord const& reply, CFileList& files);

    // Replaces an alias file (a symbolic link) by what it points to; unchanged when it is no alias.
    static OSStatus ResolveAlias(CFile& file);
    // Unspecified when the alias cannot be resolved.
    static CFile ResolveAliasHandle(AliasHandle alias);

    // Replaces or adds the last name's extension; an empty extension removes it.
    static void SetPathExtension(CString& name, CString const& extension, UInt32 pathStyle);
    // The Info value as text (strings and numbers); empty when missing. Null: the main bundle.
    static CString GetBundleInfoPListKeyValue(CFBundleRef bundle, CString const& key);

    // A uniquely named file (or folder) in the temporary-items folder; whether it exists afterwards.
    static bool CreateTemporaryFile(CFile& file, OSType creator, OSType type, bool folder);
    // The whole text in the encoding; paramErr (and no file) when a character has no form in it.
    static OSStatus WriteText(CFile& file, CString const& text, CFStringEncoding encoding);
    // Replaces the file's contents at once, keeping its permissions and extended attributes.
    static OSStatus WriteData(CFile const& file, void const* data, std::size_t length);
    // The same for contents made in pieces: produce hands each to write, and the file is
    // replaced only when every write and produce itself give noErr.
    using DataSink = std::function<OSStatus(void const* data, std::size_t length)>;
    static OSStatus WriteData(CFile const& file, std::function<OSStatus(DataSink const& write)> const& produce);
    // The whole file; memFullErr when it is larger than maxSize.
    static OSStatus ReadData(CFile const& file, CMemBuffer& buffer, UInt32 maxSize);
    // A descriptor for reading a regular file, or -1 with the status: kNotAFileErr for a
    // folder, a named pipe or a device, which are refused without waiting on them.
    static int OpenForReading(CFile const& file, OSStatus& status);
    // The whole file, however large: memFullErr only when memory runs out.
    static OSStatus ReadData(CFile const& file, std::string& text);

    static OSStatus SetNumMaxOpenFiles(unsigned long count);
};
