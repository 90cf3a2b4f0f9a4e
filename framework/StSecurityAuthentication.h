#pragma once

// Holds the administrator right to run one tool for as long as it lives (or until
// CleanUp): the caller runs the tool through GetNetwork()'s execute call in
// between, after testing that the guard holds the right at all. The user is asked
// for the password when the tool runs.

#include "framework/CCCFNetwork.h"

class StSecurityAuthentication {
public:
    static constexpr std::size_t kMaxToolPath = 1024; // [bytes] with the terminating zero

    // A path that does not fit is refused: the guard then holds nothing.
    explicit StSecurityAuthentication(char const* toolPath);
    ~StSecurityAuthentication() { CleanUp(); }
    StSecurityAuthentication(StSecurityAuthentication const&) = delete;
    StSecurityAuthentication& operator=(StSecurityAuthentication const&) = delete;

    bool IsAuthorized() const { return mNetwork != nullptr; }
    CCCFNetwork* GetNetwork() const { return mNetwork; }
    char const* GetToolPath() const { return mToolPath; }
    void CleanUp();

private:
    CCCFNetwork* mNetwork = nullptr; // owns; null when no right is held
    char mToolPath[kMaxToolPath] = {};
};
