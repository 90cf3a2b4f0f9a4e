#pragma once

// An X server of a test's own (Xvfb on a display number it picks itself), stopped
// with the object or when the test process dies. Name() is empty when Xvfb could
// not be started: tests then skip.

#include <string>
#include <sys/types.h>

namespace tw::test {

class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(VirtualDisplay const&) = delete;
    VirtualDisplay& operator=(VirtualDisplay const&) = delete;

    std::string const& Name() const { return mName; } // such as ":3"

private:
    void Start();
    void Stop();

    pid_t mPid = -1;
    std::string mName;
};

} // namespace tw::test
