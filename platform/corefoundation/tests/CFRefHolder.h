#pragma once

// Test helper: owns one CF reference (the +1 of a Create or Copy call).

#include "corefoundation/CFBase.h"

#include <memory>
#include <type_traits>

namespace tw::cf::test {

struct Releaser {
    void operator()(void const* p) const { CFRelease(static_cast<CFTypeRef>(p)); }
};

template <typename Ref> using Owned = std::unique_ptr<std::remove_pointer_t<Ref>, Releaser>;

template <typename Ref> Owned<Ref> Adopt(Ref ref) { return Owned<Ref>(ref); }

} // namespace tw::cf::test
