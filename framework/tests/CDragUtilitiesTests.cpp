#include "framework/CDragReceiver.h"
#include "framework/CDragUtilities.h"
#include "framework/CMacWindow.h"
#include "framework/tests/WindowTest.h"
#include "tests/support/InputDriver.h"
#include "tests/support/TestSupport.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <cstring>

namespace tw::test {
namespace {

    // Keeps what each drop on its window carried.
    class RecordingReceiver : public CDragReceiver {
    public:
        OSErr DoDragEnterWindow(WindowRef, DragRef) override { return Note("enter"); }
        OSErr DoDragInWindow(WindowRef, DragRef) override { return Note("in"); }
        OSErr DoDragLeaveWindow(WindowRef, DragRef) override { return Note("leave"); }
        OSErr DoDragReceive(WindowRef, DragRef drag) override
        {
            Note("receive");
            mFiles = CDragUtilities::GetDragFiles(drag);
            mURLs = CDragUtilities::GetDragURLs(drag);
            return mAccept ? noErr : dragNotAcceptedErr;
        }
        OSErr Note(char const* what)
        {
            mMessages.push_back(what);
            return noErr;
        }

        std::vector<std::string> mMessages;
        CFileList mFiles;
        CStringList mURLs;
        bool mAccept = true;
    };

    class DragUtilities : public WindowTest {
    protected:
        void SetUp() override
        {
            WindowTest::SetUp();
            mWindow = MakeWindow({ 100, 100, 400, 500 });
            InstallTrackingHandler(CDragReceiver::sTrackingHandlerUPP, mWindow, &mReceiver);
            InstallReceiveHandler(CDragReceiver::sReceiveHandlerUPP, mWindow, &mReceiver);
        }
        void TearDown() override
        {
            RemoveTrackingHandler(CDragReceiver::sTrackingHandlerUPP, mWindow);
            RemoveReceiveHandler(CDragReceiver::sReceiveHandlerUPP, mWindow);
            WindowTest::TearDown();
        }

        static void Drop(CGPoint at, std::vector<std::string> files, std::string text = "")
        {
            display::InputEvent input
                = InputDriver::Make(files.empty() ? display::InputKind::DropText : display::InputKind::DropFiles, at);
            input.files = std::move(files);
            input.text = std::move(text);
            InputDriver::Post(input);
            ManualClock::RunFor(0.1);
        }

        WindowRef mWindow = nullptr;
        RecordingReceiver mReceiver;
        TempFolder mFolder;
    };

    TEST_F(DragUtilities, DroppedFilesArriveInDragOrder)
    {
        std::vector<std::string> paths;
        for (char const* name : { "b.gpx", "a.gpx", "c.loc" }) {
            WriteFile(mFolder / name, "x");
            paths.push_back((mFolder / name).string());
        }
        Drop({ 200, 200 }, paths);
        EXPECT_EQ(mReceiver.mMessages, (std::vector<std::string> { "enter", "in", "leave", "receive" }));
        ASSERT_EQ(mReceiver.mFiles.size(), 3u);
        for (size_t i = 0; i < 3; i++) {
            EXPECT_EQ(mReceiver.mFiles[i].GetPath(), paths[i]);
            EXPECT_TRUE(mReceiver.mFiles[i].FileExists());
        }
        EXPECT_TRUE(mReceiver.mURLs.empty());
    }

    TEST_F(DragUtilities, DroppedLinksArriveAsURLsAndPlainTextAsNeither)
    {
        Drop({ 200, 200 }, {}, "https://example.org/map?x=1\r\nhttp://tarnwick.test/track.gpx\n");
        ASSERT_EQ(mReceiver.mURLs.size(), 2u);
        EXPECT_STREQ(mReceiver.mURLs[0].GetUTF8(), "https://example.org/map?x=1");
        EXPECT_STREQ(mReceiver.mURLs[1].GetUTF8(), "http://tarnwick.test/track.gpx");
        EXPECT_TRUE(mReceiver.mFiles.empty());
        Drop({ 200, 200 }, {}, "just some words");
        EXPECT_TRUE(mReceiver.mURLs.empty());
        // Outside every window nobody hears anything.
        mReceiver.mMessages.clear();
        Drop({ 900, 700 }, {}, "https://example.org/");
        EXPECT_TRUE(mReceiver.mMessages.empty());
    }

    TEST_F(DragUtilities, ItemsWithoutAFileArePassedOverAndANullDragIsAnError)
    {
        CFileList files;
        EXPECT_EQ(CDragUtilities::GetDragFiles(nullptr, files), paramErr);
        EXPECT_TRUE(CDragUtilities::GetDragURLs(nullptr).empty());
        DragRef drag = nullptr;
        ASSERT_EQ(NewDrag(&drag), noErr);
        HFSFlavor flavor {};
        std::strcpy(flavor.fileSpec.path, "/tmp/one.gpx");
        AddDragItemFlavor(drag, 1, kDragFlavorTypeHFS, &flavor, sizeof flavor, 0);
        AddDragItemFlavor(drag, 2, kScrapFlavorTypeText, "text", 4, 0);
        std::strcpy(flavor.fileSpec.path, "/tmp/two.gpx");
        AddDragItemFlavor(drag, 3, kDragFlavorTypeHFS, &flavor, sizeof flavor, 0);
        EXPECT_EQ(CDragUtilities::GetDragFiles(drag, files), noErr);
        ASSERT_EQ(files.size(), 2u);
        EXPECT_EQ(files[1].GetPath(), "/tmp/two.gpx");
        DisposeDrag(drag);
    }

    // A view that takes drops, as the map does: it accepts on enter and imports on receive.
    struct DropView {
        std::vector<UInt32> kinds;
        CFileList files;
        static OSStatus Handle(EventHandlerCallRef, EventRef event, void* data)
        {
            auto* self = static_cast<DropView*>(data);
            self->kinds.push_back(GetEventKind(event));
            DragRef drag = nullptr;
            GetEventParameter(event, kEventParamDragRef, typeDragRef, nullptr, sizeof drag, nullptr, &drag);
            if (GetEventKind(event) == kEventControlDragEnter) {
                Boolean const accept = true;
                SetEventParameter(event, kEventParamControlWouldAcceptDrop, typeBoolean, sizeof accept, &accept);
            } else if (GetEventKind(event) == kEventControlDragReceive) {
                self->files = CDragUtilities::GetDragFiles(drag);
            }
            return noErr;
        }
    };

    TEST_F(DragUtilities, AMacWindowHandsDropsToTheViewUnderThem)
    {
        mReceiver.mAccept = false; // the window's own handler declines
        CMacWindow window(mWindow);
        ControlRef pane = nullptr;
        Rect const bounds { 10, 10, 200, 300 };
        ASSERT_EQ(CreateUserPaneControl(mWindow, &bounds, 0, &pane), noErr);
        DropView view;
        EventTypeSpec const dragEvents[]
            = { { kEventClassControl, kEventControlDragEnter }, { kEventClassControl, kEventControlDragWithin },
                  { kEventClassControl, kEventControlDragLeave }, { kEventClassControl, kEventControlDragReceive } };
        InstallEventHandler(GetControlEventTarget(pane), DropView::Handle, 4, dragEvents, &view, nullptr);
        WriteFile(mFolder / "route.gpx", "x");
        Drop({ 100 + 50, 100 + 50 }, { (mFolder / "route.gpx").string() });
        EXPECT_EQ(view.kinds,
            (std::vector<UInt32> {
                kEventControlDragEnter, kEventControlDragWithin, kEventControlDragLeave, kEventControlDragReceive }));
        ASSERT_EQ(view.files.size(), 1u);
        EXPECT_EQ(view.files[0].GetFileName(), CString("route.gpx"));
    }

} // namespace
} // namespace tw::test
