#include "foundation/CIconRef.h"
#include "foundation/CProcessUtilities.h"
#include "foundation/CSystemUtilities.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

TEST(CSystemUtilities, SystemFacts)
{
    EXPECT_GE(CSystemUtilities::GetSystemVersion(), 0x1040u);
    CString version;
    CSystemUtilities::GetSystemVersion(version);
    EXPECT_TRUE(version.Contains("Linux")) << version.GetUTF8();
    EXPECT_GT(CSystemUtilities::GetPhysicalMemory(), UInt64(64) << 20);
    EXPECT_LT(CSystemUtilities::GetCPUSpeed(), 100000u);
    EXPECT_TRUE(CSystemUtilities::IsRunningOnX());
    EXPECT_TRUE(CSystemUtilities::GetUsersName().IsNotEmpty());
}

TEST(CSystemUtilities, FrameworkFunctionsAreFoundByNameOrNull)
{
    using Cosine = double (*)(double);
    auto cosine = reinterpret_cast<Cosine>(CSystemUtilities::GetFrameworkFunction("cos", "libm.so.6"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0), 1);
    EXPECT_EQ(CSystemUtilities::GetFrameworkFunction("AuthorizationCreate", "Security.framework"), nullptr);
    EXPECT_EQ(CSystemUtilities::GetFrameworkFunction("no_such_function", "libm.so.6"), nullptr);
    EXPECT_EQ(CSystemUtilities::GetFrameworkFunction("", ""), nullptr);
}

TEST(CProcessUtilities, NameVersionAndFront)
{
    ProcessInfoRec info {};
    ASSERT_EQ(CProcessUtilities::GetProcessInfo(info), noErr);
    EXPECT_EQ(info.processSignature, OSType('TWik'));
    EXPECT_STREQ(CProcessUtilities::GetProcessName().GetUTF8(), "Tarnwick");
    EXPECT_TRUE(CProcessUtilities::GetProcessVersion().IsNotEmpty());
    EXPECT_STREQ(CFile(*info.processAppRef).GetFileName().GetUTF8(), "Tarnwick.app");

    int raised = 0;
    tw::services::SetFrontProcessHandler([&] { ++raised; });
    EXPECT_EQ(CProcessUtilities::SetFrontProcess(0, 0), noErr);
    EXPECT_EQ(CProcessUtilities::SetFrontProcess('Erth', 'APPL'), procNotFound);
    tw::services::SetFrontProcessHandler(nullptr);
    EXPECT_EQ(raised, 1);
}

TEST(CProcessUtilities, OpenDocWithAppRunsTheConfiguredCommandWithoutAShell)
{
    tw::test::TempFolder folder;
    std::string record = (folder / "opened").string();
    std::string script = (folder / "open.sh").string();
    tw::test::WriteFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > '" + record + "'\n");
    chmod(script.c_str(), 0755);
    std::string document = (folder / "a b;$(x).kml").string();
    tw::test::WriteFile(document, "<kml/>");

    unsetenv(CProcessUtilities::kGlobeViewerVariable);
    CFile file(CString(document.c_str()));
    EXPECT_EQ(
        CProcessUtilities::OpenDocWithApp(CProcessUtilities::kCreatorGlobeViewer, file), kLSApplicationNotFoundErr);
    EXPECT_EQ(CProcessUtilities::OpenDocWithApp(kUnknownType, file), kLSApplicationNotFoundErr);
    EXPECT_EQ(CProcessUtilities::OpenDocWithApp(0, CFile(CString((folder / "none").c_str()))), fnfErr);

    setenv(CProcessUtilities::kGlobeViewerVariable, script.c_str(), 1);
    ASSERT_EQ(CProcessUtilities::OpenDocWithApp(CProcessUtilities::kCreatorGlobeViewer, file), noErr);
    unsetenv(CProcessUtilities::kGlobeViewerVariable);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (tw::test::ReadFile(record).empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(tw::test::ReadFile(record), document);
}

TEST(CIconRef, MadeFromPNGFilesOnly)
{
    tw::test::TempFolder folder;
    // The smallest PNG header: signature, then an IHDR chunk of 16 x 32 pixels.
    std::string png("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x10\0\0\0\x20\x08\x06\0\0\0", 29);
    tw::test::WriteFile(folder / "Device.png", png);
    tw::test::WriteFile(folder / "Device.icns", "icns....");
    CIconRef icon(CFile(CString((folder / "Device.png").c_str())), true, 0, 0);
    ASSERT_TRUE(icon.IsValid());
    EXPECT_EQ(icon.GetIconRef()->Width(), 16u);
    EXPECT_EQ(icon.GetIconRef()->Height(), 32u);
    CIconRef copy(icon);
    EXPECT_EQ(copy.GetIconRef(), icon.GetIconRef());
    EXPECT_FALSE(CIconRef(CFile(CString((folder / "Device.icns").c_str())), true, 0, 0).IsValid());
    EXPECT_FALSE(CIconRef(CFile(CString((folder / "none.png").c_str())), true, 0, 0).IsValid());
}
