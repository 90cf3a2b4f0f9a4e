#include "framework/CFileDialog.h"
#include "framework/tests/DialogTest.h"
#include "tests/support/InputDriver.h"

// The open dialog driven by the mouse and keyboard, as a user would.
namespace tw::test {
namespace {

    class NavigationInput : public DialogTest {
    protected:
        void SetUp() override
        {
            DialogTest::SetUp();
            Touch(mFolder / "A.gpx");
            Touch(mFolder / "b.gpx");
            std::filesystem::create_directory(mFolder / "sub");
            Touch(mFolder / "sub" / "inner.gpx");
            mDialog.SetDefaultLocation(CFile(CString(mFolder.Path().c_str())));
        }

        // The middle of a row of the file list of the front dialog (no message above it).
        static CGPoint Row(int row)
        {
            Rect content {};
            GetWindowBounds(FrontWindow(), kWindowContentRgn, &content);
            return { CGFloat(content.left + 100), CGFloat(content.top + 50 + 1 + 20 * row + 10) };
        }

        // Queues the input once the dialog is up; the loop then routes it.
        static void WhenShown(std::function<void()> input)
        {
            struct Pending {
                std::function<void()> input;
                EventLoopTimerRef timer = nullptr;
            };
            auto* pending = new Pending { std::move(input) };
            InstallEventLoopTimer(
                GetMainEventLoop(), 0.01, 0,
                [](EventLoopTimerRef, void* data) {
                    auto* p = static_cast<Pending*>(data);
                    RemoveEventLoopTimer(p->timer);
                    auto run = std::move(p->input);
                    delete p;
                    run();
                },
                pending, &pending->timer);
        }

        TempFolder mFolder;
        CFileDialog mDialog;
    };

    TEST_F(NavigationInput, DoubleClicksEnterAFolderAndOpenAFile)
    {
        WhenShown([] {
            InputDriver::Click(Row(2)); // "sub"
            InputDriver::Click(Row(2));
            WhenShown([] {
                InputDriver::Click(Row(0)); // "inner.gpx"
                InputDriver::Click(Row(0));
            });
        });
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseFile(CString(), CString(), nullptr, result), kNavUserActionOpen);
        ASSERT_EQ(result.files.size(), 1u);
        EXPECT_EQ(result.file.GetFullPath(), CString((mFolder / "sub" / "inner.gpx").c_str()));
    }

    TEST_F(NavigationInput, CommandClicksChooseSeveralFilesAndReturnOpensThem)
    {
        // One gesture per loop turn, as a user's input arrives.
        WhenShown([] {
            InputDriver::Click(Row(0));
            WhenShown([] {
                InputDriver::Click(Row(1), cmdKey);
                WhenShown([] { InputDriver::Key(36, '\r'); });
            });
        });
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseFile(CString(), CString(), nullptr, result), kNavUserActionOpen);
        ASSERT_EQ(result.files.size(), 2u);
        EXPECT_EQ(result.files[0].GetFileName(), CString("A.gpx"));
        EXPECT_EQ(result.files[1].GetFileName(), CString("b.gpx"));
    }

    TEST_F(NavigationInput, EscapeCancels)
    {
        WhenShown([] {
            InputDriver::Click(Row(0));
            InputDriver::Key(53, 0x1B);
        });
        FileDialogResult result;
        EXPECT_EQ(mDialog.ChooseFile(CString(), CString(), nullptr, result), kNavUserActionCancel);
        EXPECT_TRUE(result.files.empty());
        EXPECT_LT(ManualClock::Now(), 1000 + toolbox::dialogs::Responders::kUnansweredTimeout)
            << "answered by the key, not by the fallback";
    }

} // namespace
} // namespace tw::test
