#include "app/CMapPackRepair.h"
#include "docwindow/tests/DocumentTest.h"
#include "services/Authorization.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ToolStandIn.h"

#include <sys/stat.h>
#include <unistd.h>

// The repair offered for a shared map pack that not every user can read.

namespace tw::test {
namespace {

    namespace fs = std::filesystem;
    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    class MapPackRepair : public DocumentTest { };

    unsigned ModeOf(fs::path const& path)
    {
        struct stat info;
        return lstat(path.c_str(), &info) == 0 ? unsigned(info.st_mode & 07777) : 01000000;
    }

    // pkexec that runs the program it is given as the caller, as the real one does as root.
    void RunWhatItIsGiven(ToolStandIn const& pkexec)
    {
        WriteFile(pkexec.Folder() / kAuthorizationTool,
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$(dirname \"$0\")/log\"; done\nexec \"$@\"\n");
    }

    TEST_F(MapPackRepair, TheHelperRepairsThePackOnlyWhenTheUserSaysSoAndLeavesLinks)
    {
        ToolStandIn pkexec(kAuthorizationTool);
        RunWhatItIsGiven(pkexec);
        TempFolder folder;
        fs::path const pack = folder / "Shared Roads.twmap";
        fs::create_directories(pack / "Regions");
        WriteFile(pack / "Regions" / "tiles.bin", "x");
        WriteFile(folder / "secret", "x");
        chmod((pack / "Regions" / "tiles.bin").c_str(), 0600);
        chmod((pack / "Regions").c_str(), 0700);
        chmod((folder / "secret").c_str(), 0600);
        fs::create_symlink(folder / "secret", pack / "Regions" / "secret-link");
        CFile const packFile(CString(pack.c_str()));

        Responders::PressAlertButton(kAlertStdAlertCancelButton);
        EXPECT_FALSE(CMapPackRepair::OfferRepairs({ packFile }));
        EXPECT_TRUE(pkexec.Arguments().empty()) << "a cancel runs nothing";
        EXPECT_EQ(ModeOf(pack / "Regions"), 0700u);
        ASSERT_EQ(Responders::History().size(), 1u);
        EXPECT_EQ(Responders::History()[0].kind, DialogKind::Alert);
        EXPECT_NE(Responders::History()[0].text.find("Shared Roads.twmap"), std::string::npos);

        Responders::PressAlertButton(kAlertStdAlertOKButton);
        EXPECT_TRUE(CMapPackRepair::OfferRepairs({ packFile }));
        EXPECT_EQ(Responders::History().size(), 2u) << "no failure to report";
        // The helper beside the executable, given the pack alone.
        EXPECT_EQ(pkexec.Arguments(), (std::vector<std::string> { CMapPackRepair::GetToolPath(), pack.string() }));
        EXPECT_EQ(
            fs::path(CMapPackRepair::GetToolPath()).parent_path(), fs::path(TW_BUNDLE_DIR) / "Contents" / "MacOS");
        EXPECT_EQ(ModeOf(pack / "Regions"), 0755u);
        EXPECT_EQ(ModeOf(pack / "Regions" / "tiles.bin"), 0644u);
        EXPECT_EQ(ModeOf(folder / "secret"), 0600u) << "the link was not followed";
    }

    TEST_F(MapPackRepair, AHelperThatLeavesEntriesOrIsMissingIsAFailureSaidInWords)
    {
        ToolStandIn pkexec(kAuthorizationTool);
        RunWhatItIsGiven(pkexec);
        TempFolder folder;
        CFile const gone(CString((folder / "Gone.twmap").c_str()));
        Responders::PressAlertButton(kAlertStdAlertOKButton);
        Responders::PressAlertButton(kAlertStdAlertOKButton);
        EXPECT_FALSE(CMapPackRepair::OfferRepairs({ gone }));
        ASSERT_EQ(Responders::History().size(), 2u) << "the question, then the failure";
        EXPECT_NE(Responders::History()[1].text.find("Gone.twmap"), std::string::npos);
        EXPECT_EQ(CMapPackRepair::Repair(gone), ioErr);

        // A tool that ran but never said the pack was repaired (the stand-in only says "ran").
        ToolStandIn silent(kAuthorizationTool);
        EXPECT_EQ(CMapPackRepair::Repair(gone), ioErr);
        EXPECT_EQ(silent.Arguments().size(), 2u);

        tw::cf::SetMainBundlePath((folder / "Elsewhere.app").string());
        EXPECT_EQ(CMapPackRepair::Repair(gone), fnfErr) << "no helper in that bundle";
        tw::cf::SetMainBundlePath(TW_BUNDLE_DIR);
        EXPECT_EQ(silent.Arguments().size(), 2u);
    }

    TEST_F(MapPackRepair, ARefusedPasswordOrAMissingPkexecIsACancel)
    {
        ToolStandIn pkexec(kAuthorizationTool);
        CFile const first(CString("/usr/share/Tarnwick/Maps/A.twmap"));
        CFile const second(CString("/usr/share/Tarnwick/Maps/B.twmap"));
        pkexec.SetExitStatus(126); // the password dialog was dismissed
        Responders::PressAlertButton(kAlertStdAlertOKButton);
        Responders::PressAlertButton(kAlertStdAlertOKButton);
        EXPECT_FALSE(CMapPackRepair::OfferRepairs({ first, second }));
        EXPECT_EQ(Responders::History().size(), 2u) << "one question per pack, and no failure to report";
        EXPECT_EQ(pkexec.Arguments().size(), 2 * 2u);

        Responders::Reset();
        pkexec.ClearLog();
        std::string const path = std::getenv("PATH");
        setenv("PATH", "/nonexistent", 1);
        Responders::PressAlertButton(kAlertStdAlertOKButton);
        EXPECT_FALSE(CMapPackRepair::OfferRepairs({ first }));
        setenv("PATH", path.c_str(), 1);
        EXPECT_EQ(Responders::History().size(), 1u) << "without pkexec there is no one to ask: as cancelled";
        EXPECT_TRUE(pkexec.Arguments().empty());
    }

} // namespace
} // namespace tw::test
