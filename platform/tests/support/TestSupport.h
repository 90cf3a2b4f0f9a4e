#pragma once

// Shared test harness: every test process runs with its own temporary home
// (XDG config, data and temporary folders), and with the build tree's
// Tarnwick.app as its main bundle.

#include <cstddef>
#include <filesystem>
#include <string>

namespace tw::test {

// The per-process temporary home, made before the first test runs.
std::filesystem::path const& TestHome();

// A fresh empty folder under the test home, removed when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(TempFolder const&) = delete;
    TempFolder& operator=(TempFolder const&) = delete;

    std::filesystem::path const& Path() const { return mPath; }
    std::filesystem::path operator/(std::string const& name) const { return mPath / name; }

private:
    std::filesystem::path mPath;
};

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnvironment {
public:
    ScopedEnvironment(char const* name, char const* value);
    ~ScopedEnvironment();
    ScopedEnvironment(ScopedEnvironment const&) = delete;
    ScopedEnvironment& operator=(ScopedEnvironment const&) = delete;

private:
    std::string mName;
    bool mHad = false;
    std::string mOld;
};

std::string ReadFile(std::filesystem::path const& path);
void WriteFile(std::filesystem::path const& path, std::string const& contents);

// Feeds every file of a fuzz entry's seed corpus (a folder below the source tree) to the
// entry's body, failing the test on any non-zero answer; returns how many seeds ran.
int ReplayCorpus(std::filesystem::path const& folder, int (*entry)(unsigned char const* data, std::size_t size));

// Runs a shell command, returning its exit status and standard output.
int RunCommand(std::string const& command, std::string* output = nullptr);

} // namespace tw::test
