#include "tests/support/TestSupport.h"

#include "corefoundation/CFBundle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tw::test {

namespace {

std::filesystem::path MakeHome()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (!made) {
        std::perror("mkdtemp");
        std::abort();
    }
    return made;
}

} // namespace

ScopedEnvironment::ScopedEnvironment(char const* name, char const* value)
    : mName(name)
{
    if (char const* old = std::getenv(name)) {
        mHad = true;
        mOld = old;
    }
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

ScopedEnvironment::~ScopedEnvironment()
{
    if (mHad)
        setenv(mName.c_str(), mOld.c_str(), 1);
    else
        unsetenv(mName.c_str());
}

std::filesystem::path const& TestHome()
{
    static std::filesystem::path const home = MakeHome();
    return home;
}

TempFolder::TempFolder()
{
    static std::atomic<int> counter { 0 };
    mPath = TestHome() / ("tmp" + std::to_string(counter++));
    std::filesystem::create_directories(mPath);
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(mPath, ec);
}

std::string ReadFile(std::filesystem::path const& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int ReplayCorpus(std::filesystem::path const& folder, int (*entry)(unsigned char const* data, std::size_t size))
{
    int seeds = 0;
    std::error_code error;
    for (auto const& item : std::filesystem::directory_iterator(folder, error)) {
        if (!item.is_regular_file())
            continue;
        std::string const bytes = ReadFile(item.path());
        EXPECT_EQ(entry(reinterpret_cast<unsigned char const*>(bytes.data()), bytes.size()), 0) << item.path();
        ++seeds;
    }
    EXPECT_FALSE(error) << folder << ": " << error.message();
    return seeds;
}

void WriteFile(std::filesystem::path const& path, std::string const& contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

int RunCommand(std::string const& command, std::string* output)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
    int status = pclose(pipe);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace tw::test

int main(int argc, char** argv)
{
    // Every test process gets its own home, so that parallel tests never share
    // preferences, support folders or temporary files.
    auto const& home = tw::test::TestHome();
    for (char const* dir : { "config", "data", "tmp", "Desktop" })
        std::filesystem::create_directories(home / dir);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_DESKTOP_DIR", (home / "Desktop").c_str(), 1);
    setenv("TMPDIR", (home / "tmp").c_str(), 1);
    setenv("TW_HEADLESS", "1", 1);
    tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);

    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();

    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    return result;
}
