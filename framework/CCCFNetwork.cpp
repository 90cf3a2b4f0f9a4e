#include "framework/CCCFNetwork.h"

CCCFNetwork::~CCCFNetwork()
{
    if (mAuthorization)
        AuthorizationFree(kAuthorizationFlagDestroyRights);
}

OSStatus CCCFNetwork::AuthorizationCreate(
    AuthorizationRights const* rights, AuthorizationEnvironment const* environment, AuthorizationFlags flags)
{
    if (mAuthorization)
        AuthorizationFree(kAuthorizationFlagDefaults);
    return ::AuthorizationCreate(rights, environment, flags, &mAuthorization);
}

OSStatus CCCFNetwork::AuthorizationCopyRights(AuthorizationRights const* rights,
    AuthorizationEnvironment const* environment, AuthorizationFlags flags, AuthorizationRights** outRights)
{
    return ::AuthorizationCopyRights(mAuthorization, rights, environment, flags, outRights);
}

OSStatus CCCFNetwork::AuthorizationExecuteWithPrivileges(
    char const* toolPath, AuthorizationFlags options, char* const* arguments, std::FILE** communicationsPipe)
{
    return ::AuthorizationExecuteWithPrivileges(mAuthorization, toolPath, options, arguments, communicationsPipe);
}

OSStatus CCCFNetwork::AuthorizationFree(AuthorizationFlags flags)
{
    OSStatus const status = ::AuthorizationFree(mAuthorization, flags);
    mAuthorization = nullptr;
    return status;
}
