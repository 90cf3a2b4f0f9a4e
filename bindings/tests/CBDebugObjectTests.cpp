#include "bindings/Source/Core/CBDebugObject.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Expected(int line, std::string const& text)
{
    return std::string(__FILE__) + ", line " + std::to_string(line) + ": " + text + "\n";
}

} // namespace

TEST(CBDebugObject, ReportsGiveFileLineAndTextAndCarryOn)
{
    int const theCount = 2;
    testing::internal::CaptureStderr();
    bool const failed = CB_CHECK(theCount >= 3);
    int const checkLine = __LINE__ - 1;
    bool const passed = CB_CHECK(theCount >= 1);
    CB_REPORT("Error %ld", -50L);
    int const reportLine = __LINE__ - 1;
    std::string const errors = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(failed);
    EXPECT_TRUE(passed);
    EXPECT_EQ(errors, Expected(checkLine, "theCount >= 3") + Expected(reportLine, "Error -50"));
}

TEST(CBDebugObject, TraceIndentsFourSpacesPerLevelAboveOneOnlyWhileLogging)
{
    testing::internal::CaptureStderr();
    CBDebugObject::LogString("hidden");
    CBDebugObject::SetLogging(true);
    CBDebugObject::RemoveIndent(); // reported; the level stays at zero
    CBDebugObject::LogString("level %d", 0);
    CBDebugObject::AddIndent();
    CBDebugObject::LogString("level %d", 1);
    CBDebugObject::AddIndent();
    CBDebugObject::AddIndent();
    CBDebugObject::LogString("level %d", 3);
    for (int i = 0; i < 3; i++)
        CBDebugObject::RemoveIndent();
    CBDebugObject::SetLogging(false);
    std::string const errors = testing::internal::GetCapturedStderr();

    std::string const report = ": mIndent >= 1\n";
    size_t const reportEnd = errors.find(report) + report.size();
    ASSERT_NE(errors.find(report), std::string::npos) << errors;
    EXPECT_EQ(errors.substr(reportEnd), "CB: level 0\nCB: level 1\nCB:         level 3\n");
}

TEST(CBString, ComparesBytewiseAndConcatenates)
{
    EXPECT_TRUE(CBString("Z") < CBString("a"));
    EXPECT_TRUE(CBString("ab") < CBString("abc"));
    EXPECT_TRUE(CBString("z") < CBString("\xC3\xA9")) << "UTF-8 lead bytes sort above ASCII";
    EXPECT_NE(CBString("key"), CBString("Key"));
    EXPECT_STREQ((CBString("Window") + CBString("Visible")).GetUTF8(), "WindowVisible");
    EXPECT_FALSE(CBString(nullptr).IsNotEmpty());
    EXPECT_STREQ(kKeyAnyValue.GetUTF8(), "*");
}
