#include "services/Authorization.h"
#include "tests/support/ToolStandIn.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace tw::test {
namespace {

    class Authorization : public ::testing::Test {
    protected:
        // Asks for the administrator right to run the tool, as the guard does.
        OSStatus Authorise(AuthorizationRef* authorization, char const* tool)
        {
            AuthorizationItem item { kAuthorizationRightExecute, std::char_traits<char>::length(tool),
                const_cast<char*>(tool), 0 };
            AuthorizationRights rights { 1, &item };
            EXPECT_EQ(AuthorizationCreate(nullptr, nullptr, kAuthorizationFlagDefaults, authorization), noErr);
            return AuthorizationCopyRights(*authorization, &rights, nullptr,
                kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights | kAuthorizationFlagPreAuthorize,
                nullptr);
        }
    };

    TEST_F(Authorization, ToolsRunThroughPkexecAndARefusalIsACancel)
    {
        ToolStandIn pkexec(kAuthorizationTool);
        AuthorizationRef authorization = nullptr;
        ASSERT_EQ(Authorise(&authorization, "/usr/bin/find"), noErr);
        char argument1[] = "/maps/with space";
        char argument2[] = "it's \"quoted\" $(not run)";
        char* arguments[] = { argument1, argument2, nullptr };
        std::FILE* output = nullptr;
        EXPECT_EQ(AuthorizationExecuteWithPrivileges(
                      authorization, "/usr/bin/find", kAuthorizationFlagDefaults, arguments, &output),
            noErr);
        ASSERT_NE(output, nullptr);
        char line[16] = {};
        EXPECT_NE(std::fgets(line, sizeof line, output), nullptr);
        EXPECT_STREQ(line, "ran\n");
        std::fclose(output);
        EXPECT_EQ(pkexec.Arguments(),
            (std::vector<std::string> { "/usr/bin/find", "/maps/with space", "it's \"quoted\" $(not run)" }))
            << "each argument reaches the tool whole, and no shell ran";

        for (int refusal : { 126, 127 }) {
            pkexec.SetExitStatus(refusal);
            output = nullptr;
            EXPECT_EQ(AuthorizationExecuteWithPrivileges(
                          authorization, "/usr/bin/find", kAuthorizationFlagDefaults, arguments, &output),
                errAuthorizationCanceled)
                << refusal;
            EXPECT_EQ(output, nullptr);
        }
        pkexec.SetExitStatus(1); // the tool's own failure is the tool's business
        EXPECT_EQ(AuthorizationExecuteWithPrivileges(
                      authorization, "/usr/bin/find", kAuthorizationFlagDefaults, nullptr, nullptr),
            noErr);
        EXPECT_EQ(AuthorizationFree(authorization, kAuthorizationFlagDestroyRights), noErr);
    }

    TEST_F(Authorization, WithoutPkexecOrTheRightNothingRuns)
    {
        ToolStandIn other("not-pkexec");
        std::string const path = std::getenv("PATH");
        setenv("PATH", other.Folder().c_str(), 1); // only the stand-in's folder, with no pkexec in it
        AuthorizationRef authorization = nullptr;
        EXPECT_EQ(Authorise(&authorization, "/usr/bin/find"), errAuthorizationDenied);
        setenv("PATH", path.c_str(), 1);
        EXPECT_EQ(AuthorizationExecuteWithPrivileges(
                      authorization, "/usr/bin/find", kAuthorizationFlagDefaults, nullptr, nullptr),
            errAuthorizationDenied);
        AuthorizationFree(authorization, kAuthorizationFlagDestroyRights);

        ToolStandIn pkexec(kAuthorizationTool);
        AuthorizationItem wrong { "system.privilege.taskport", 0, nullptr, 0 };
        AuthorizationRights rights { 1, &wrong };
        AuthorizationCreate(nullptr, nullptr, 0, &authorization);
        EXPECT_EQ(AuthorizationCopyRights(authorization, &rights, nullptr, 0, nullptr), errAuthorizationDenied);
        EXPECT_EQ(AuthorizationCopyRights(nullptr, &rights, nullptr, 0, nullptr), errAuthorizationInvalidRef);
        EXPECT_EQ(AuthorizationExecuteWithPrivileges(authorization, "/usr/bin/find", 0, nullptr, nullptr),
            errAuthorizationDenied);
        EXPECT_TRUE(pkexec.Arguments().empty());
        AuthorizationFree(authorization, kAuthorizationFlagDestroyRights);
        EXPECT_EQ(AuthorizationFree(nullptr, 0), errAuthorizationInvalidRef);
    }

} // namespace
} // namespace tw::test
