#pragma once

// Reads a whole regular file without exceptions (std::ifstream throws on a folder)
// and without blocking on a FIFO or device that happens to have the name.

#include <filesystem>
#include <optional>
#include <string>

namespace tw::cf {

// Nullopt when the path is missing, not a regular file, or cannot be read.
std::optional<std::string> ReadFileContents(std::filesystem::path const& path);

} // namespace tw::cf
