#include "foundation/CFile.h"
#include "framework/CInternetUtilities.h"
#include "framework/CKeyboardUtilities.h"
#include "tests/support/OpenRecorder.h"
#include "tests/support/TestSupport.h"
#include "toolbox/MouseTracking.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using tw::toolbox::MouseSession;

TEST(KeyboardUtilities, EitherOptionKeyCounts)
{
    MouseSession::Reset();
    EXPECT_FALSE(CKeyboardUtilities::IsOptionDown());
    MouseSession::Update({}, cmdKey | shiftKey, 0);
    EXPECT_FALSE(CKeyboardUtilities::IsOptionDown());
    MouseSession::Update({}, optionKey, 0);
    EXPECT_TRUE(CKeyboardUtilities::IsOptionDown());
    MouseSession::Update({}, rightOptionKey | cmdKey, 0);
    EXPECT_TRUE(CKeyboardUtilities::IsOptionDown());
    MouseSession::Reset();
}

// Records the links the program opens instead of starting a browser.
class InternetUtilities : public ::testing::Test {
protected:
    std::string WaitForLog() { return mRecorder.WaitForLog(); }

    tw::test::TempFolder mFolder;
    tw::test::OpenRecorder mRecorder;
};

TEST_F(InternetUtilities, LinksOpenWithTheOpenCommandAsOneArgument)
{
    EXPECT_EQ(CInternetUtilities::LaunchURL(CString("")), paramErr);
    ASSERT_NE(CInternetUtilities::GetICInstance(), nullptr);
    EXPECT_EQ(CInternetUtilities::GetICInstance(), CInternetUtilities::GetICInstance()) << "kept for the process";
    EXPECT_EQ(CInternetUtilities::LaunchURL(CString("https://example.org/a b?q=1;rm -rf x")), noErr);
    EXPECT_EQ(WaitForLog(), "https://example.org/a b?q=1;rm -rf x\n");
}

TEST_F(InternetUtilities, AMissingOpenCommandIsAnError)
{
    setenv(kICOpenCommandVariable, (mFolder / "no-such-program").c_str(), 1);
    EXPECT_EQ(CInternetUtilities::LaunchURL(CString("https://example.org/")), fnfErr);
    // An opener that finds no program for the link gives up at once with a failure.
    std::filesystem::path const failing = mFolder / "no-handler.sh";
    tw::test::WriteFile(failing, "#!/bin/sh\nexit 3\n");
    std::filesystem::permissions(failing, std::filesystem::perms::owner_all);
    setenv(kICOpenCommandVariable, failing.c_str(), 1);
    EXPECT_EQ(CInternetUtilities::LaunchURL(CString("https://example.org/")), fnfErr);
}

TEST(InternetReachability, TheLocalHostIsReachableUnlessTheNetworkIsSwitchedOff)
{
    EXPECT_TRUE(CInternetUtilities::IsHostReachable(CString("localhost")));
    EXPECT_FALSE(CInternetUtilities::IsHostReachable(CString("")));
    CFile const item(CString("ForceNoNetwork"), kCFURLHFSPathStyle);
    std::filesystem::path const path = item.GetPath();
    if (std::filesystem::exists(path))
        GTEST_SKIP() << path << " exists on this machine";
    // Made at the place the HFS path names, and removed again.
    std::error_code error;
    tw::test::WriteFile(path, "");
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << "cannot make " << path;
    EXPECT_FALSE(CInternetUtilities::IsHostReachable(CString("localhost")));
    std::filesystem::remove(path, error);
    EXPECT_TRUE(CInternetUtilities::IsHostReachable(CString("localhost")));
}

} // namespace
