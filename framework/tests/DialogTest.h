#pragma once

// Fixture of the dialog tests: the window fixture, no scripted answers left
// over, and a message log of what broadcasters sent.

#include "foundation/CMsgListener.h"
#include "framework/CSplashScreen.h"
#include "framework/tests/WindowTest.h"
#include "tests/support/TestSupport.h"
#include "toolbox/dialogs/Responders.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

namespace tw::test {

class DialogTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        toolbox::dialogs::Responders::Reset();
    }
    void TearDown() override
    {
        EXPECT_EQ(toolbox::dialogs::Responders::Pending(), 0u) << "an answer was never asked for";
        toolbox::dialogs::Responders::Reset();
        CSplashScreen::FinishClosing(); // before its window goes with the others
        WindowTest::TearDown();
    }

    static void Touch(std::filesystem::path const& path) { WriteFile(path, "x"); }
};

// Records every message with a copy of what the test needs from its parameter.
class MessageLog : public CMsgListener {
public:
    std::vector<UInt32> messages;
    std::function<void(UInt32, void*)> onMessage;

    void DoMessage(UInt32 message, void* parameter) override
    {
        messages.push_back(message);
        if (onMessage)
            onMessage(message, parameter);
    }
    std::size_t Count(UInt32 message) const { return std::count(messages.begin(), messages.end(), message); }
};

} // namespace tw::test
