#pragma once

// The file system as the navigation dialogs see it: folder listings, paths,
// and file URL descriptors.

#include "services/AppleEvents.h"
#include "toolbox/dialogs/FileListView.h"

#include <string>
#include <vector>

namespace tw::toolbox::dialogs {

std::string HomeFolder();
// The folder itself, or the folder holding a file; empty when neither exists.
std::string FolderOf(std::string const& path);
std::string ParentOf(std::string const& path);
std::string NameOf(std::string const& path);
std::string Join(std::string const& folder, std::string const& name);
// Folders and files, sorted by name ignoring case; hidden ones only when asked.
std::vector<FileEntry> ListFolder(std::string const& folder, bool invisible);
// Whether the name's extension is one of the main bundle's document types.
bool IsOwnDocument(std::string const& name);
// What the user typed as a place: "~" is the home folder, a relative path is taken
// from the folder shown. Made plain (no "." or ".." steps); empty for empty text.
std::string ResolvePath(std::string const& typed, std::string const& folder);
// The name without a final extension (letters and digits after the last dot, starting
// with a letter), as proposals show it: "Lake District.twk" gives "Lake District".
std::string WithoutExtension(std::string const& name);
// A file URL descriptor; the caller disposes of it.
OSStatus MakeFileDesc(std::string const& path, AEDesc* outDesc);
// The path of a file URL or path descriptor; empty when it names no file.
std::string PathFromDesc(AEDesc const* desc);

} // namespace tw::toolbox::dialogs
