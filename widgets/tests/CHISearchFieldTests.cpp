#include "WidgetTest.h"
#include "foundation/CMsgListener.h"
#include "framework/CCarbonEvent.h"
#include "framework/CMacWindow.h"
#include "tests/support/InputDriver.h"
#include "widgets/CHISearchField.h"
#include "widgets/ControlClasses.h"

#include <vector>

namespace tw::test {

namespace {

    class Messages : public CMsgListener {
    public:
        void DoMessage(UInt32 message, void* parameter) override
        {
            list.push_back(message);
            sender = parameter;
        }
        std::vector<UInt32> list;
        void* sender = nullptr;
    };

    // A search field in a shown window, typed at through the window server.
    class SearchField : public WidgetTest {
    protected:
        void SetUp() override
        {
            WidgetTest::SetUp();
            display::WindowServer::ResetForTesting();
            ShowWindow(mWindow);
            mField = new CHISearchField(CGRectMake(20, 20, 160, 19), 3, nullptr, CString("Find"));
            ControlID const id { 'name', 0 };
            SetControlID(mField->GetHIViewRef(), &id);
            CHIViewUtilities::GetCHIView(mContent, true)->AddSubHIView(mField);
            SetKeyboardFocus(mWindow, mField->GetHIViewRef(), kControlFocusNextPart);
            mField->AddListener(&mMessages);
        }
        void TearDown() override
        {
            mField->RemoveListener(&mMessages);
            WidgetTest::TearDown();
            display::WindowServer::ResetForTesting();
        }

        CHISearchField* mField = nullptr;
        Messages mMessages;
    };

    TEST_F(SearchField, AQuickBurstOfTypingGivesOneChangeAfterTheLastKey)
    {
        for (char c : std::string("paris")) {
            InputDriver::TypeKeys(std::string(1, c));
            ManualClock::RunFor(0.05);
        }
        EXPECT_EQ(mField->GetTextValue(), CString("paris"));
        ManualClock::RunFor(0.1); // 0.15 s after the last key
        EXPECT_TRUE(mMessages.list.empty());
        ManualClock::RunFor(0.1);
        EXPECT_EQ(mMessages.list, (std::vector<UInt32> { CHISearchField::kMsgTextChanged }));
        EXPECT_EQ(mMessages.sender, mField);
        // A second burst, a second message; quiet time sends nothing more.
        InputDriver::Key(51, 8);
        ManualClock::RunFor(1.0);
        EXPECT_EQ(mMessages.list.size(), 2u);
        EXPECT_EQ(mField->GetTextValue(), CString("pari"));
    }

    TEST_F(SearchField, ReturnIsAcceptedAndLeftToTheSystem)
    {
        // The key goes on past the field (to the default button), after the field reported it accepted.
        int keysSeenByWindow = 0;
        auto const count = [](EventHandlerCallRef, EventRef, void* data) -> OSStatus {
            ++*static_cast<int*>(data);
            return eventNotHandledErr;
        };
        EventTypeSpec const rawKey { kEventClassKeyboard, kEventRawKeyDown };
        EventHandlerRef handler = nullptr;
        InstallEventHandler(GetWindowEventTarget(mWindow), count, 1, &rawKey, &keysSeenByWindow, &handler);
        InputDriver::Key(36, 13);
        ManualClock::RunFor(0.5);
        EXPECT_EQ(mMessages.list, (std::vector<UInt32> { CHISearchField::kMsgTextAccepted }));
        EXPECT_EQ(keysSeenByWindow, 1);
        RemoveEventHandler(handler);
        // The accepted event itself stays unanswered for the system's own handling.
        CCarbonEvent accepted(kEventClassTextField, kEventTextAccepted);
        EXPECT_EQ(SendEventToEventTarget(accepted.GetEvent(), GetControlEventTarget(mField->GetHIViewRef())),
            eventNotHandledErr);
        EXPECT_EQ(mMessages.list.size(), 2u);
    }

    TEST_F(SearchField, TheTextValueAndTheLookUpByID)
    {
        mField->SetTextValue(CString("Bergen"));
        EXPECT_EQ(mField->GetTextValue(), CString("Bergen"));
        ManualClock::RunFor(0.5);
        EXPECT_TRUE(mMessages.list.empty()); // set by the program: no typing to report
        InstallControlWindowSupport();
        {
            CMacWindow window(mWindow);
            EXPECT_EQ(CHISearchField::Find(&window, 'name', 0), mField);
            EXPECT_EQ(CHISearchField::Find(&window, 'name', 1), nullptr);
            EXPECT_EQ(CHISearchField::Find(static_cast<CMacWindow*>(nullptr), 'name', 0), nullptr);
        }
        CMacWindow::SetWidgetSupport(nullptr);
    }

} // namespace

} // namespace tw::test
