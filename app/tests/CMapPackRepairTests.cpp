#include "app/CMapPackRepair.h"
#include "docwindow/tests/DocumentTest.h"
#include "services/Authorization.h"
#include "tests/support/ToolStandIn.h"

// The repair offered for a shared map pack that not every user can read.

namespace tw::test {
namespace {

    using toolbox::dialogs::DialogKind;
    using toolbox::dialogs::Responders;

    class MapPackRepair : public DocumentTest { };

    TEST_F(MapPackRepair, RepairRunsFindWithChmodAsAdministratorOnlyWhenTheUserSaysSo)
    {
        ToolStandIn pkexec(kAuthorizationTool);
        CFile const pack(CString("/usr/local/share/Tarnwick/Maps/Shared Roads.twmap"));

        Responders::PressAlertButton(kAlertStdAlertCancelButton);
        EXPECT_FALSE(CMapPackRepair::OfferRepairs({ pack }));
        EXPECT_TRUE(pkexec.Arguments().empty()) << "a cancel runs nothing";
        ASSERT_EQ(Responders::History().size(), 1u);
        EXPECT_EQ(Responders::History()[0].kind, DialogKind::Alert);
        EXPECT_NE(Responders::History()[0].text.find("Shared Roads.twmap"), std::string::npos);

        Responders::PressAlertButton(kAlertStdAlertOKButton);
        EXPECT_TRUE(CMapPackRepair::OfferRepairs({ pack }));
        // Plain files and folders only: a link inside the pack is not followed out of it.
        EXPECT_EQ(pkexec.Arguments(),
            (std::vector<std::string> { "/usr/bin/find", pack.GetPath(), "(", "-type", "f", "-o", "-type", "d", ")",
                "-exec", "/bin/chmod", "a+rX", "{}", "+" }));
        EXPECT_EQ(Responders::History().size(), 2u);
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
        EXPECT_EQ(pkexec.Arguments().size(), 2 * 14u);

        Responders::Reset();
        pkexec.ClearLog();
        std::string const path = std::getenv("PATH");
        setenv("PATH", "/nonexistent", 1);
        Responders::PressAlertButton(kAlertStdAlertOKButton);
        EXPECT_FALSE(CMapPackRepair::OfferRepairs({ first }));
        setenv("PATH", path.c_str(), 1);
        EXPECT_EQ(Responders::History().size(), 1u) << "without pkexec there is no one to ask: as cancelled";
        EXPECT_TRUE(pkexec.Arguments().empty());
        pkexec.SetExitStatus(0);
        EXPECT_EQ(CMapPackRepair::Repair(first), noErr) << "with pkexec back and the password given";
    }

} // namespace
} // namespace tw::test
