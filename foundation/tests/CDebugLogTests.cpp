#include "foundation/CDebugLog.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <regex>

namespace {

class CDebugLogTest : public testing::Test {
protected:
    void TearDown() override { CDebugLog::ResetForTesting(); }
};

} // namespace

TEST_F(CDebugLogTest, WritesPrefixedLinesToTheDesktopFile)
{
    CDebugLog* log = CDebugLog::GetDebugLog();
    ASSERT_EQ(log, CDebugLog::GetDebugLog());
    log->Log(CDebugLog::kPriorityInfo, nullptr, "dropped while there is no output");
    log->SetLogOutputs(CDebugLog::kLogOutputFile);
    ASSERT_EQ(log->SetLogFileOutputFolder('desk'), noErr);
    log->SetAutoFlush(true);
    log->Log(CDebugLog::kPriorityWarning, "Device", "port %s at %d baud", "ttyUSB0", 4800);
    log->Log(CDebugLog::kPriorityError, nullptr, "failed");
    log->Log(99, "X", "beyond the letters");

    CFile file = log->GetLogFile();
    EXPECT_EQ(file.GetParent().GetPath(), std::getenv("XDG_DESKTOP_DIR"));
    EXPECT_STREQ(file.GetFileName().GetUTF8(), (std::string(program_invocation_short_name) + " Log.txt").c_str());
    std::string text = tw::test::ReadFile(file.GetPath());
    std::string process = program_invocation_short_name;
    std::regex expected("\\[\\d+\\] Device W: port ttyUSB0 at 4800 baud\n"
                        "\\[\\d+\\] "
        + process + " E: failed\n\\[\\d+\\] X E: beyond the letters\n");
    EXPECT_TRUE(std::regex_match(text, expected)) << text;
    EXPECT_EQ(log->SetLogFileOutputFolder('none'), fnfErr);
}

TEST_F(CDebugLogTest, LinesAreCutAt10240BytesWithoutSplittingACharacter)
{
    CDebugLog* log = CDebugLog::GetDebugLog();
    log->SetLogOutputs(CDebugLog::kLogOutputFile);
    log->SetLogFileOutputFolder(kTemporaryFolderType);
    std::string message;
    while (message.size() < 20000)
        message += "é";
    log->Log(CDebugLog::kPriorityDebug, "Cat", "%s", message.c_str());
    log->Flush();
    std::string text = tw::test::ReadFile(log->GetLogFile().GetPath());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_LE(text.size() - 1, CDebugLog::kMaxLineLength);
    EXPECT_GE(text.size() - 1, CDebugLog::kMaxLineLength - 1);
    EXPECT_NE(text.find(" Cat D: éé"), std::string::npos);
    EXPECT_EQ(CString(text.c_str(), kCFStringEncodingUTF8).GetNarrow(kCFStringEncodingUTF8), text); // valid UTF-8
}
