#include "framework/StSecurityAuthentication.h"

#include <cstring>

StSecurityAuthentication::StSecurityAuthentication(char const* toolPath)
{
    std::size_t const length = toolPath ? strnlen(toolPath, kMaxToolPath) : kMaxToolPath;
    if (length == 0 || length >= kMaxToolPath)
        return;
    std::memcpy(mToolPath, toolPath, length + 1);
    mNetwork = new CCCFNetwork;
    mNetwork->AuthorizationCreate(nullptr, nullptr, kAuthorizationFlagDefaults);
    AuthorizationItem item { kAuthorizationRightExecute, length, mToolPath, 0 };
    AuthorizationRights rights { 1, &item };
    AuthorizationFlags const flags
        = kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights | kAuthorizationFlagPreAuthorize;
    if (mNetwork->AuthorizationCopyRights(&rights, nullptr, flags, nullptr) != errAuthorizationSuccess)
        CleanUp();
}

void StSecurityAuthentication::CleanUp()
{
    if (!mNetwork)
        return;
    mNetwork->AuthorizationFree(kAuthorizationFlagDestroyRights);
    delete mNetwork;
    mNetwork = nullptr;
}
