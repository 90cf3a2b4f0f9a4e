#pragma once

// Converts a value on its way from one bound key to another. Reference-counted: born
// with one reference, which whoever makes it hands to the binding that uses it; the
// binding releases it when the binding goes.

#include "bindings/Source/Core/CBValue.h"

class CBValueTransform {
public:
    CBValueTransform() = default;
    CBValueTransform(CBValueTransform const&) = delete;
    CBValueTransform& operator=(CBValueTransform const&) = delete;
    virtual ~CBValueTransform();

    virtual CBValue Apply(CBValue const& theValue) = 0;

    void Release();

private:
    SInt32 mRefCount = 1;
};
