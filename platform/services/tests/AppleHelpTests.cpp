#include "services/AppleHelp.h"
#include "tests/support/OpenRecorder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace tw::test {
namespace {

    // The book of the bundle opens at a page and anchor; another book, a page the book lacks
    // or a path out of its folder opens nothing.
    TEST(AppleHelp, OnlyPagesOfTheBundlesBookOpen)
    {
        OpenRecorder recorder;
        EXPECT_EQ(AHGotoPage(CFSTR("Tarnwick Help"), CFSTR("keys.html"), CFSTR("menus")), noErr);
        std::string const opened = recorder.WaitForLog();
        EXPECT_EQ(opened.rfind("file://", 0), 0u) << opened;
        EXPECT_NE(opened.find("/Help/keys.html#menus\n"), std::string::npos) << opened;

        recorder.ClearLog();
        EXPECT_EQ(AHGotoPage(CFSTR("Other Help"), nullptr, nullptr), fnfErr);
        EXPECT_EQ(AHGotoPage(CFSTR("Tarnwick Help"), CFSTR("missing.html"), nullptr), fnfErr);
        EXPECT_EQ(AHGotoPage(CFSTR("Tarnwick Help"), CFSTR("../Info.plist"), nullptr), paramErr);
        EXPECT_EQ(AHGotoPage(CFSTR("Tarnwick Help"), CFSTR("/etc/passwd"), nullptr), paramErr);
        EXPECT_EQ(AHGotoPage(nullptr, nullptr, nullptr), paramErr);
        EXPECT_EQ(recorder.WaitForLog(0.2), "") << "nothing was opened";
    }

} // namespace
} // namespace tw::test
