#include "foundation/CFile.h"
#include "framework/CInternetUtilities.h"
#include "framework/CKeyboardUtilities.h"
#include "tests/support/TestSupport.h"
#include "toolbox/MouseTracking.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

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
    void SetUp() override
    {
        mRecorder = mFolder / "record.sh";
        mLog = mFolder / "opened.txt";
        tw::test::WriteFile(mRecorder, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + mLog.string() + "'\n");
        std::filesystem::permissions(mRecorder, std::filesystem::perms::owner_all);
        setenv(kICOpenCommandVariable, mRecorder.c_str(), 1);
    }
    void TearDown() override { unsetenv(kICOpenCommandVariable); }

    std::string WaitForLog()
    {
        for (int i = 0; i < 200 && !std::filesystem::exists(mLog); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return std::filesystem::exists(mLog) ? tw::test::ReadFile(mLog) : "";
    }

    tw::test::TempFolder mFolder;
    std::filesystem::path mRecorder;
    std::filesystem::path mLog;
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
