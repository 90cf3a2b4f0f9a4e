#include "framework/CDisplayManager.h"
#include "framework/COpenGLContext.h"
#include "framework/COpenGLUtilities.h"

#include <gtest/gtest.h>

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

// There is no OpenGL renderer: every query takes its "none" path and nothing is left behind.
TEST(OpenGLUtilities, WithoutARendererEveryQueryAnswersNone)
{
    CDisplayRef none;
    CDisplayRef main;
    main.InitialiseSelf(GetMainDevice(), 0);
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
    EXPECT_TRUE(CDisplayManager::GetScreenDevice().IsNotValid());
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

    DeviceInfo info;
    info.vendorID = 7;
    CDisplayManager::GetDeviceinfo(main, info);
    EXPECT_EQ(info.name, CString("unknown"));
    EXPECT_EQ(info.model, CString("unknown"));
    EXPECT_EQ(info.vendorID, 0u);
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
