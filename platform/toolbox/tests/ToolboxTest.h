#pragma once

// The fixture of the toolbox tests: the manual clock, no menu bar, and a count
// of live toolbox objects that must come back to where it started.

#include "tests/support/ManualClock.h"
#include "toolbox/HIObject.h"
#include "toolbox/HelpTags.h"
#include "toolbox/MenuBar.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace tw::test {

class ToolboxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        toolbox::MenuBar::Reset();
        toolbox::MouseSession::Reset();
        toolbox::HelpTags::Reset();
        mLiveAtStart = toolbox::HIObject::LiveCount();
    }

    void TearDown() override
    {
        toolbox::MenuBar::Reset();
        toolbox::HelpTags::Reset();
        EXPECT_TRUE(toolbox::WindowList::FrontToBack().empty()) << "a window was left behind";
        EXPECT_EQ(toolbox::HIObject::LiveCount(), mLiveAtStart) << "toolbox objects leaked";
    }

    static WindowRef MakeWindow(WindowClass windowClass = kDocumentWindowClass, Rect content = { 100, 100, 300, 400 },
        WindowAttributes attributes = kWindowStandardDocumentAttributes | kWindowStandardHandlerAttribute)
    {
        WindowRef window = nullptr;
        EXPECT_EQ(CreateNewWindow(windowClass, attributes, &content, &window), noErr);
        return window;
    }

    ManualClock mClock;
    std::size_t mLiveAtStart = 0;
};

// Records (class, kind) of every event a handler sees, with a tag per handler.
struct EventLog {
    std::vector<std::string> entries;
    void Add(std::string entry) { entries.push_back(std::move(entry)); }
};

inline std::string Code(UInt32 code)
{
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i)
        text[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
    return text;
}

} // namespace tw::test
