#pragma once

// Reads a whole regular file without exceptions (std::ifstream throws on a folder)
// and without blocking on a FIFO or device that happens to have the name.

#include "corefoundation/CFBase.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tw::cf {

// Nullopt when the path is missing, not a regular file, or cannot be read.
std::optional<std::string> ReadFileContents(std::filesystem::path const& path);
// The property list the file holds, owned by the caller; null when the file cannot be read
// (error left null) or does not parse (error, when given, says why and is the caller's).
CFPropertyListRef CreatePropertyListFromFile(std::filesystem::path const& path, CFStringRef* error);

} // namespace tw::cf
