#pragma once

// Authorization Services on polkit's pkexec. Rights are not granted ahead of use:
// asking for the administrator right only checks that pkexec is there, and the
// user is asked for the password when the tool runs. A tool that pkexec refused
// to run (its exit status 126, a dismissed dialog, or 127, not authorised) is a
// cancelled request.

#include "corefoundation/MacTypes.h"

#include <cstddef>
#include <cstdio>

using AuthorizationRef = struct AuthorizationOpaqueRef*;
using AuthorizationFlags = UInt32;
enum : AuthorizationFlags {
    kAuthorizationFlagDefaults = 0,
    kAuthorizationFlagInteractionAllowed = 1 << 0,
    kAuthorizationFlagExtendRights = 1 << 1,
    kAuthorizationFlagPartialRights = 1 << 2,
    kAuthorizationFlagDestroyRights = 1 << 3,
    kAuthorizationFlagPreAuthorize = 1 << 4,
};

struct AuthorizationItem {
    char const* name;
    std::size_t valueLength;
    void* value;
    UInt32 flags;
};
struct AuthorizationItemSet {
    UInt32 count;
    AuthorizationItem* items;
};
using AuthorizationRights = AuthorizationItemSet;
using AuthorizationEnvironment = AuthorizationItemSet;

inline constexpr char kAuthorizationRightExecute[] = "system.privilege.admin";
// The program that runs tools as the administrator, found on the PATH.
inline constexpr char kAuthorizationTool[] = "pkexec";

inline constexpr OSStatus errAuthorizationSuccess = 0;
inline constexpr OSStatus errAuthorizationInvalidSet = -60001;
inline constexpr OSStatus errAuthorizationInvalidRef = -60002;
inline constexpr OSStatus errAuthorizationInvalidPointer = -60004;
inline constexpr OSStatus errAuthorizationDenied = -60005;
inline constexpr OSStatus errAuthorizationCanceled = -60006;
inline constexpr OSStatus errAuthorizationInternal = -60008;
inline constexpr OSStatus errAuthorizationToolExecuteFailure = -60031;

OSStatus AuthorizationCreate(AuthorizationRights const* rights, AuthorizationEnvironment const* environment,
    AuthorizationFlags flags, AuthorizationRef* outAuthorization);
// The administrator right is held once pkexec is found; any other right is denied.
OSStatus AuthorizationCopyRights(AuthorizationRef authorization, AuthorizationRights const* rights,
    AuthorizationEnvironment const* environment, AuthorizationFlags flags, AuthorizationRights** outRights);
// Runs "pkexec tool arguments..." without a shell and waits for it. The tool's standard
// output comes back through the pipe (a file read from its start) when one is asked for.
OSStatus AuthorizationExecuteWithPrivileges(AuthorizationRef authorization, char const* toolPath,
    AuthorizationFlags options, char* const* arguments, std::FILE** communicationsPipe);
OSStatus AuthorizationFree(AuthorizationRef authorization, AuthorizationFlags flags);
