#include "framework/CDisplayManager.h"
#include "framework/COpenGLContext.h"
#include "framework/COpenGLUtilities.h"

#include "framework/CSoftwareUpdate.h"
#include "tests/support/LocalServer.h"
#include "tests/support/TestSupport.h"
#include "tests/support/VirtualDisplay.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

using GL = COpenGLUtilities;

TEST(OpenGLUtilities, RenderersNameTheirCardFamily)
{
    struct Card {
        char const* renderer;
        UInt32 card;
    };
    for (Card const& c : std::initializer_list<Card> {
             { "NVIDIA GeForce2 MX OpenGL Engine", GL::kCardGeForce2 },
             { "NVIDIA GeForce3 OpenGL Engine", GL::kCardGeForce3 },
             { "NVIDIA GeForce4 MX OpenGL Engine", GL::kCardGeForce4MX },
             { "NVIDIA GeForce4 Ti OpenGL Engine", GL::kCardGeForce4 },
             { "NVIDIA GeForce FX 5200 Ultra OpenGL Engine", GL::kCardGeForceFX5200Ultra },
             { "NVIDIA GeForce FX Go5200 OpenGL Engine", GL::kCardGeForceFX },
             { "NVIDIA NV34MAP OpenGL Engine", GL::kCardGeForceFX },
             { "nvidia quadro", GL::kCardNVIDIA },
             { "ATI Radeon 7000 OpenGL Engine", GL::kCardRadeon7000 },
             { "ATI Radeon 8500 OpenGL Engine", GL::kCardRadeon8500 },
             { "ATI Radeon 9000 OpenGL Engine", GL::kCardRadeon9000 },
             { "ATI Radeon 9200 OpenGL Engine", GL::kCardRadeon9200 },
             { "ATI Radeon 9600 OpenGL Engine", GL::kCardRadeon9600 },
             { "ATI Radeon 9700 OpenGL Engine", GL::kCardRadeon9700 },
             { "ATI Radeon 9800 XT OpenGL Engine", GL::kCardRadeon9800 },
             { "ATI Radeon X800 XT OpenGL Engine", GL::kCardRadeonX800XT },
             { "ATI RADEON OPENGL ENGINE", GL::kCardRadeonGeneric },
             { "AMD Radeon RX 580", GL::kCardRadeon },
             { "llvmpipe (LLVM 15.0.6, 256 bits)", GL::kCardOther },
             { "", GL::kCardOther },
         })
        EXPECT_EQ(GL::GetGraphicsCardType(c.renderer, 0), c.card) << c.renderer;
    EXPECT_EQ(GL::GetGraphicsCardType("ATI Radeon 9600 OpenGL Engine", GL::kRadeon9600XTDeviceID),
        UInt32(GL::kCardRadeon9600XT));
    EXPECT_EQ(GL::GetGraphicsCardType("ATI Radeon 9700 OpenGL Engine", GL::kRadeon9600XTDeviceID),
        UInt32(GL::kCardRadeon9700));
}

TEST(OpenGLUtilities, VersionsPackIntoNibblesAndImplyTheirExtensions)
{
    EXPECT_EQ(GL::PackGLVersion("1.2"), 0x120u);
    EXPECT_EQ(GL::PackGLVersion("1.4.1"), 0x141u);
    EXPECT_EQ(GL::PackGLVersion("2.1 Mesa 22.3.6"), 0x210u);
    EXPECT_EQ(GL::PackGLVersion("1.2.3.4"), 0x123u) << "three digits fill the nibbles";
    EXPECT_EQ(GL::PackGLVersion("ATI-1.4"), 0u);
    EXPECT_EQ(GL::PackGLVersion(""), 0u);
    EXPECT_EQ(GL::PackGLVersion(nullptr), 0u);

    EXPECT_FALSE(COpenGLContext::IsExtensionOfVersion("GL_EXT_bgra", 0x120)) << "only above 1.2";
    EXPECT_TRUE(COpenGLContext::IsExtensionOfVersion("GL_EXT_bgra", 0x121));
    EXPECT_FALSE(COpenGLContext::IsExtensionOfVersion("GL_ARB_multitexture", 0x121));
    EXPECT_TRUE(COpenGLContext::IsExtensionOfVersion("GL_ARB_multitexture", 0x130));
    EXPECT_FALSE(COpenGLContext::IsExtensionOfVersion("GL_ARB_shadow", 0x130));
    EXPECT_TRUE(COpenGLContext::IsExtensionOfVersion("GL_ARB_shadow", 0x140));
    EXPECT_TRUE(COpenGLContext::IsExtensionOfVersion("GL_EXT_bgra", 0x140)) << "later versions keep the earlier";
    EXPECT_FALSE(COpenGLContext::IsExtensionOfVersion("GL_ARB_shad", 0x210)) << "whole names only";
    EXPECT_FALSE(COpenGLContext::IsExtensionOfVersion("ATI_texture_env_combine3", 0x210));
}

TEST(OpenGLUtilities, DriverProblemsFollowTheCardAndTheSystem)
{
    struct Problem {
        GLDriverBugs bug;
        UInt32 card;
        UInt32 system;
        bool has;
    };
    for (Problem const& p : std::initializer_list<Problem> {
             { 0, GL::kCardGeForce3, 0x1033, true },
             { 0, GL::kCardGeForceFX5200Ultra, 0x1033, true },
             { 0, GL::kCardGeForce3, 0x1034, false },
             { 0, GL::kCardGeForce4MX, 0x1020, false },
             { 1, GL::kCardGeForce4, 0x1028, true },
             { 1, GL::kCardGeForceFX, 0x1028, false },
             { 2, GL::kCardGeForce4, 0x1030, true },
             { 2, GL::kCardGeForce4, 0x1033, true },
             { 2, GL::kCardGeForce4, 0x1034, false },
             { 2, GL::kCardGeForce4, 0x1029, false },
             { 3, GL::kCardGeForce2, 0x1029, true },
             { 3, GL::kCardGeForce4MX, 0x1029, true },
             { 3, GL::kCardGeForce2, 0x1030, false },
             { 3, GL::kCardGeForceFX, 0x1020, false },
             { 4, GL::kCardRadeon9600, 0x1040, true },
             { 4, GL::kCardRadeon9600XT, 0x1040, false },
             { 5, GL::kCardGeForceFX5200Ultra, 0x1034, true },
             { 5, GL::kCardGeForceFX5200Ultra, 0x1035, false },
             { 5, GL::kCardGeForceFX, 0x1032, false },
             { 6, GL::kCardGeForce4, 0x1040, true },
             { 6, GL::kCardGeForce4, 0x1029, false },
             { 6, GL::kCardGeForceFX, 0x1035, true },
             { 6, GL::kCardGeForceFX, 0x1036, false },
             { 7, GL::kCardGeForce4, 0x1020, true },
             { 7, GL::kCardGeForceFX5200Ultra, 0x1036, false },
             { 7, GL::kCardGeForce4MX, 0x1020, false },
             { 8, GL::kCardGeForce4, 0x1020, false },
         })
        EXPECT_EQ(GL::HasDriverBug(p.bug, p.card, p.system), p.has)
            << "problem " << p.bug << ", card " << p.card << ", system " << std::hex << p.system;
}

// Queries on the display a test names: none at all, or a virtual one of the process's own.
// The system's OpenGL starts afresh with each test and is closed after it.
class SystemOpenGL : public ::testing::Test {
protected:
    void SetUp() override { GL::ResetForTesting(); }
    void TearDown() override { GL::ResetForTesting(); }

    // The virtual display, named in DISPLAY for the test; false when Xvfb cannot start.
    bool UseVirtualDisplay()
    {
        static tw::test::VirtualDisplay display; // stopped when the process ends
        if (display.Name().empty())
            return false;
        mDisplay.emplace("DISPLAY", display.Name().c_str());
        return true;
    }

    std::optional<tw::test::ScopedEnvironment> mDisplay;
    tw::test::ScopedEnvironment mNoWayland { "WAYLAND_DISPLAY", nullptr };
};

// Nothing in a headless run has OpenGL: every query takes its "none" path and nothing is
// left behind.
TEST_F(SystemOpenGL, WithoutADisplayEveryQueryAnswersNone)
{
    mDisplay.emplace("DISPLAY", nullptr);
    EXPECT_TRUE(CDisplayManager::GetScreenDevice().IsNotValid());
    EXPECT_EQ(DMGetFirstScreenDevice(true), nullptr);
    CDisplayRef none;
    CDisplayRef main;
    main.InitialiseSelf(GetMainDevice(), 0);
    EXPECT_TRUE(main.IsValid()) << "the program's own screen is there all the same";
    for (CDisplayRef* display : { &none, &main }) {
        EXPECT_EQ(GL::GetGraphicsCardRenderer(*display), CString());
        EXPECT_EQ(CDisplayManager::GetTotalVRAM(*display), 0);
        EXPECT_EQ(GL::GetGraphicsCardType(*display), UInt32(GL::kCardOther));
        EXPECT_FALSE(GL::CanDoFSAA(*display, 0));
        EXPECT_EQ(GL::GetScratchContext(*display), nullptr);
        EXPECT_FALSE(GL::UseScratchContext(*display));
    }
    EXPECT_EQ(GL::GetGLVersion(), 0u);
    EXPECT_FALSE(GL::HaveExtension("GL_ARB_multisample"));
    EXPECT_FALSE(GL::EnableRadeonFSAA(4));
    for (GLDriverBugs bug = 0; bug < 8; ++bug)
        EXPECT_FALSE(GL::HasDriverBug(bug)) << bug;
    EXPECT_EQ(GL::GetCurrentContext(), nullptr);
    EXPECT_TRUE(GL::SetCurrentContext(nullptr)) << "no context is no failure";
    EXPECT_FALSE(CDisplayManager::GLContextIsAGLFullscreen());
    EXPECT_EQ(COpenGLContext::GetSharedContext(main), nullptr);

    auto* context = new COpenGLContext(main);
    EXPECT_TRUE(COpenGLContext::IsContext(context));
    EXPECT_EQ(context->CreateAGLContext(8, 8, 8, 8, 16, 8, 4,
                  COpenGLContext::kFlagDoubleBuffer | COpenGLContext::kFlagFSAA | COpenGLContext::kFlagAccelerated,
                  nullptr, true),
        nullptr);
    EXPECT_TRUE(context->SetDrawable(nullptr, false)) << "nothing to attach";
    EXPECT_FALSE(context->HaveExtension("GL_EXT_bgra"));
    delete context;
    EXPECT_FALSE(COpenGLContext::IsContext(context));
}

// The software renderer of the virtual display answers every query.
TEST_F(SystemOpenGL, TheVirtualDisplaysRendererNamesItselfItsVersionAndItsExtensions)
{
    if (!UseVirtualDisplay())
        GTEST_SKIP() << "Xvfb is not available";
    CDisplayRef screen = CDisplayManager::GetScreenDevice();
    ASSERT_TRUE(screen.IsValid());
    EXPECT_EQ(screen.GetGDHandle(), GetMainDevice());
    EXPECT_EQ(screen.GetDisplayID(), 1u) << "screen 0";
    EXPECT_EQ(DMGetNextScreenDevice(GetMainDevice(), true), nullptr) << "Xvfb has one screen";

    std::string const renderer = GL::GetGraphicsCardRenderer(screen).GetUTF8();
    EXPECT_FALSE(renderer.empty());
    EXPECT_EQ(GL::GetGraphicsCardType(screen), UInt32(GL::kCardOther)) << renderer;
    COpenGLContext* const scratch = GL::GetScratchContext(screen);
    ASSERT_NE(scratch, nullptr);
    EXPECT_EQ(GL::GetScratchContext(CDisplayRef()), scratch) << "one scratch context for the screen";
    EXPECT_EQ(GL::GetGraphicsCardRenderer(screen).GetUTF8(), renderer);
    EXPECT_EQ(GL::GetScratchContext(screen), scratch);

    EXPECT_GE(GL::GetGLVersion(), 0x210u);
    std::string const extensions = scratch->GetExtensionString().GetUTF8();
    std::string const first = extensions.substr(0, extensions.find(' '));
    ASSERT_EQ(first.rfind("GL_", 0), 0u) << extensions;
    EXPECT_TRUE(GL::HaveExtension(CString(first.c_str(), kCFStringEncodingUTF8))) << first;
    ASSERT_EQ(extensions.find("GL_NV_multisample_filter_hint"), std::string::npos);
    EXPECT_FALSE(GL::HaveExtension("GL_NV_multisample_filter_hint"));
    EXPECT_TRUE(GL::CanDoFSAA(screen, 1)) << "Xvfb offers pixel formats with samples";
    EXPECT_FALSE(GL::CanDoFSAA(screen, 2)) << "no Radeon";
    for (GLDriverBugs bug = 0; bug < 8; ++bug)
        EXPECT_FALSE(GL::HasDriverBug(bug)) << bug;

    // The software renderer's memory is the machine's, no video memory of its own.
    AGLDevice const device = screen.GetGDHandle();
    AGLRendererInfo const info = aglQueryRendererInfo(&device, 1);
    ASSERT_NE(info, nullptr);
    GLint accelerated = 1, megabytes = 0;
    EXPECT_TRUE(aglDescribeRenderer(info, AGL_ACCELERATED, &accelerated));
    EXPECT_TRUE(aglDescribeRenderer(info, AGL_VIDEO_MEMORY_MEGABYTES, &megabytes));
    aglDestroyRendererInfo(info);
    EXPECT_EQ(accelerated, 0);
    EXPECT_GT(megabytes, 0);
    EXPECT_EQ(CDisplayManager::GetTotalVRAM(screen), 0);

    // Nothing was shown: the screen has no window.
    std::string tree;
    ASSERT_EQ(tw::test::RunCommand("xwininfo -root -children -display " + std::string(std::getenv("DISPLAY")), &tree), 0);
    EXPECT_NE(tree.find(" 0 children"), std::string::npos) << tree;
}

TEST_F(SystemOpenGL, AQueryLeavesTheCallersContextCurrent)
{
    if (!UseVirtualDisplay())
        GTEST_SKIP() << "Xvfb is not available";
    CDisplayRef screen = CDisplayManager::GetScreenDevice();
    auto* caller = new COpenGLContext(screen);
    ASSERT_NE(caller->CreateAGLContext(8, 8, 8, 8, 16, 0, 0,
                  COpenGLContext::kFlagAccelerated | COpenGLContext::kFlagNoShare, nullptr, true),
        nullptr);
    ASSERT_EQ(aglGetCurrentContext(), caller->GetAGLContext());
    ASSERT_EQ(GL::GetCurrentContext(), caller);

    EXPECT_FALSE(GL::GetGraphicsCardRenderer(screen).IsEmpty());
    EXPECT_EQ(aglGetCurrentContext(), caller->GetAGLContext()) << "after the renderer";
    EXPECT_GE(GL::GetGLVersion(), 0x210u);
    EXPECT_EQ(aglGetCurrentContext(), caller->GetAGLContext()) << "after the version";
    EXPECT_TRUE(GL::CanDoFSAA(screen, 0));
    EXPECT_EQ(aglGetCurrentContext(), caller->GetAGLContext()) << "after anti-aliasing";
    EXPECT_EQ(GL::GetCurrentContext(), caller);
    EXPECT_NE(GL::GetScratchContext(screen)->GetAGLContext(), caller->GetAGLContext());
    EXPECT_FALSE(GL::EnableRadeonFSAA(4)) << "no driver here has the Radeon's option";
    EXPECT_TRUE(GL::HaveExtension("GL_EXT_bgra")) << "asked of the caller's context";

    // A context that goes is forgotten: the next query makes its own way.
    delete caller;
    EXPECT_EQ(GL::GetCurrentContext(), nullptr);
    EXPECT_TRUE(GL::HaveExtension("GL_EXT_bgra"));
    EXPECT_FALSE(GL::GetGraphicsCardRenderer(screen).IsEmpty());
}

// A driver that cannot make a context (here: Xvfb refuses OpenGL through the X server)
// gives the "none" answers, without a crash on the errors the X server reports.
TEST_F(SystemOpenGL, ADriverThatFailsAnswersNone)
{
    if (!UseVirtualDisplay())
        GTEST_SKIP() << "Xvfb is not available";
    tw::test::ScopedEnvironment indirect("LIBGL_ALWAYS_INDIRECT", "1");
    CDisplayRef screen = CDisplayManager::GetScreenDevice();
    EXPECT_TRUE(screen.IsValid());
    EXPECT_EQ(GL::GetGraphicsCardRenderer(screen), CString());
    EXPECT_EQ(GL::GetGLVersion(), 0u);
    EXPECT_FALSE(GL::HaveExtension("GL_EXT_bgra"));
    EXPECT_EQ(CDisplayManager::GetTotalVRAM(screen), 0);
    EXPECT_EQ(aglGetCurrentContext(), nullptr);
}

// The update check's request names the display's renderer and video memory.
TEST_F(SystemOpenGL, TheUserAgentOfARequestCarriesTheRenderer)
{
    if (!UseVirtualDisplay())
        GTEST_SKIP() << "Xvfb is not available";
    tw::test::TempFolder site;
    tw::test::WriteFile(site / "version.xml",
        "<pellmar><p code=\"TWik\"><version>2.0</version><download>https://x.org/</download></p></pellmar>");
    tw::test::LocalServer server(site.Path().string(), (site / "requests.log").string());
    ASSERT_NE(server.Port(), 0);

    CDisplayRef screen = CDisplayManager::GetScreenDevice();
    CString const renderer = CSoftwareUpdate::ShortenRenderer(GL::GetGraphicsCardRenderer(screen));
    ASSERT_FALSE(renderer.IsEmpty());
    CSoftwareUpdate update;
    update.SetUserAgent(CSoftwareUpdate::BuildUserAgent("Tarnwick", "1.1.1", &screen));
    ASSERT_EQ(update.GetVersionInfo(CString(server.Link("/version.xml").c_str(), kCFStringEncodingUTF8)), noErr);
    EXPECT_EQ(update.GetProductVersion("TWik"), CString("2.0"));
    std::string const log = tw::test::ReadFile(site / "requests.log");
    EXPECT_EQ(log.rfind("/version.xml Tarnwick/1.1.1 (", 0), 0u) << log;
    EXPECT_NE(log.find("; 0; " + std::string(renderer.GetUTF8()) + ")\n"), std::string::npos)
        << "no video memory of its own, then the renderer: " << log;
}

TEST(CDisplayManager, TheDisplayControllerIsTheFirstCardOfTheDisplayClass)
{
    tw::test::TempFolder drm;
    DeviceInfo info;
    CDisplayManager::GetDeviceinfo(CDisplayRef(), info, (drm / "missing").string());
    EXPECT_EQ(info.name, CString("unknown"));
    EXPECT_EQ(info.deviceID, 0u);

    auto card = [&](std::string const& name, std::vector<std::pair<char const*, char const*>> const& files) {
        std::filesystem::create_directories(drm / name / "device");
        for (auto const& [file, text] : files)
            tw::test::WriteFile(drm / name / "device" / file, text);
    };
    card("card0", { { "class", "0x040300\n" }, { "vendor", "0x8086\n" }, { "device", "0x1234\n" } }); // sound
    card("card0-HDMI-A-1", { { "class", "0x030000\n" }, { "vendor", "0x1111\n" }, { "device", "0x1111\n" } });
    card("card1", { { "class", "0x030000\n" }, { "vendor", "0xZZ\n" }, { "device", "0x1\n" } }); // unreadable
    card("card10", { { "class", "0x030000\n" }, { "vendor", "0x10de\n" }, { "device", "0x2222\n" } });
    card("card2", { { "class", "0x030200\n" }, { "vendor", "0x1002\n" }, { "device", "0x4e50\n" },
                      { "revision", "0x01\n" }, { "subsystem_device", "0x0b12\n" } });
    std::filesystem::create_directory_symlink("/sys/bus/pci/drivers/radeon", drm / "card2" / "device" / "driver");
    CDisplayManager::GetDeviceinfo(CDisplayRef(), info, drm.Path().string());
    EXPECT_EQ(info.name, CString("radeon"));
    EXPECT_EQ(info.model, CString("unknown"));
    EXPECT_EQ(info.vendorID, 0x1002u);
    EXPECT_EQ(info.deviceID, 0x4E50u) << "card2 comes before card10";
    EXPECT_EQ(info.revisionID, 1u);
    EXPECT_EQ(info.subsystemID, 0x0B12u);
}

TEST(CDisplayRef, AReferenceKeepsItsDisplayAndLooksTheDeviceUpAgainWhenTheClockMoves)
{
    CDisplayRef none;
    EXPECT_TRUE(none.IsNotValid());
    EXPECT_EQ(none.GetDisplayID(), 0u);

    CDisplayRef main;
    main.InitialiseSelf(GetMainDevice(), 0);
    EXPECT_TRUE(main.IsValid());
    EXPECT_NE(main.GetDisplayID(), 0u);
    CDisplayRef byID;
    byID.InitialiseSelf(nullptr, main.GetDisplayID());
    EXPECT_EQ(byID.GetGDHandle(), GetMainDevice());
    EXPECT_TRUE(byID == main);
    CDisplayRef unknown;
    unknown.InitialiseSelf(nullptr, 99);
    EXPECT_EQ(unknown.GetGDHandle(), GetMainDevice()) << "an unknown display fails to the main one";

    CDisplayRef copy(main);
    EXPECT_TRUE(copy == main);
    EXPECT_EQ(copy.GetGDHandle(), GetMainDevice());
    CDisplayRef const noneCopy(none);
    EXPECT_FALSE(noneCopy == main);

    ++CDisplayRef::mCurrentClock; // as after a display reconfiguration
    EXPECT_TRUE(main.IsValid()) << "found again from its id";
    CDisplayRef stale = none;
    EXPECT_TRUE(stale.IsNotValid());
    --CDisplayRef::mCurrentClock;
}

} // namespace
