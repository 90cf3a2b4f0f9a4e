#pragma once

// One authorization and the rights asked for with it: the calls of Authorization
// Services made on the stored reference.

#include "services/Authorization.h"

class CCCFNetwork {
public:
    CCCFNetwork() = default;
    CCCFNetwork(CCCFNetwork const&) = delete;
    CCCFNetwork& operator=(CCCFNetwork const&) = delete;
    // A reference still held is freed, its rights with it.
    virtual ~CCCFNetwork();

    // Stores the new reference.
    OSStatus AuthorizationCreate(
        AuthorizationRights const* rights, AuthorizationEnvironment const* environment, AuthorizationFlags flags);
    OSStatus AuthorizationCopyRights(AuthorizationRights const* rights, AuthorizationEnvironment const* environment,
        AuthorizationFlags flags, AuthorizationRights** outRights);
    OSStatus AuthorizationExecuteWithPrivileges(
        char const* toolPath, AuthorizationFlags options, char* const* arguments, std::FILE** communicationsPipe);
    OSStatus AuthorizationFree(AuthorizationFlags flags);

    AuthorizationRef GetAuthorization() const { return mAuthorization; }

private:
    AuthorizationRef mAuthorization = nullptr; // owns
};
