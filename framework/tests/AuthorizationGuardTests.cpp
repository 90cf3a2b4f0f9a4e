#include "framework/CCommandLine.h"
#include "framework/StSecurityAuthentication.h"
#include "tests/support/ToolStandIn.h"

#include <gtest/gtest.h>
#include <string>

namespace tw::test {
namespace {

    TEST(CCommandLine, KeepsEveryArgumentInOrder)
    {
        CCommandLine line;
        char const* argv[] = { "/opt/tarnwick/Tarnwick", "--quiet", "Karte München.twk", "" };
        line.AddArgumentsFromArgv(4, argv);
        line.AddArgumentsFromArgv(1, argv + 1);
        ASSERT_EQ(line.GetArguments().GetCount(), 5u);
        EXPECT_EQ(line.GetArguments().GetAt(0), CString("/opt/tarnwick/Tarnwick"));
        EXPECT_EQ(line.GetArguments().GetAt(2), CString("Karte M\xC3\xBCnchen.twk", kCFStringEncodingUTF8));
        EXPECT_TRUE(line.GetArguments().GetAt(3).IsEmpty());
        EXPECT_EQ(line.GetArguments().GetAt(4), CString("--quiet"));
        line.AddArgumentsFromArgv(3, nullptr);
        EXPECT_EQ(line.GetArguments().GetCount(), 5u);
        EXPECT_EQ(&CCommandLine::GetDefaultCommandLine(), &CCommandLine::GetDefaultCommandLine());
    }

    TEST(StSecurityAuthentication, TheGuardRunsItsToolAsAdministratorAndARefusalIsACancel)
    {
        ToolStandIn pkexec(kAuthorizationTool);
        StSecurityAuthentication guard("/usr/bin/find");
        ASSERT_TRUE(guard.IsAuthorized());
        EXPECT_STREQ(guard.GetToolPath(), "/usr/bin/find");
        char where[] = "/usr/share/tarnwick/Maps";
        char* arguments[] = { where, nullptr };
        EXPECT_EQ(guard.GetNetwork()->AuthorizationExecuteWithPrivileges(
                      guard.GetToolPath(), kAuthorizationFlagDefaults, arguments, nullptr),
            errAuthorizationSuccess);
        EXPECT_EQ(pkexec.Arguments(), (std::vector<std::string> { "/usr/bin/find", "/usr/share/tarnwick/Maps" }));
        for (int refusal : { 126, 127 }) {
            pkexec.SetExitStatus(refusal);
            EXPECT_EQ(guard.GetNetwork()->AuthorizationExecuteWithPrivileges(
                          guard.GetToolPath(), kAuthorizationFlagDefaults, arguments, nullptr),
                errAuthorizationCanceled)
                << refusal;
        }
        guard.CleanUp();
        EXPECT_FALSE(guard.IsAuthorized());
        guard.CleanUp(); // twice is harmless
    }

    TEST(StSecurityAuthentication, AGuardThatCannotHoldTheRightHoldsNothing)
    {
        ToolStandIn pkexec(kAuthorizationTool);
        std::string const longPath = "/" + std::string(StSecurityAuthentication::kMaxToolPath, 'x');
        StSecurityAuthentication tooLong(longPath.c_str());
        EXPECT_FALSE(tooLong.IsAuthorized()) << "a path longer than the guard's buffer is refused, not cut";
        EXPECT_STREQ(tooLong.GetToolPath(), "");
        StSecurityAuthentication none(nullptr);
        EXPECT_FALSE(none.IsAuthorized());

        std::string const path = std::getenv("PATH");
        setenv("PATH", "/nonexistent", 1);
        StSecurityAuthentication noPkexec("/usr/bin/find");
        setenv("PATH", path.c_str(), 1);
        EXPECT_FALSE(noPkexec.IsAuthorized());
        EXPECT_TRUE(pkexec.Arguments().empty());
    }

} // namespace
} // namespace tw::test
