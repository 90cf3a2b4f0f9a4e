#pragma once

#include "foundation/CFDictionary.h"

// Something that writes its state into a dictionary and reads it back.
class CPropertyStore {
public:
    virtual ~CPropertyStore() = default;
    virtual OSStatus EncodeProperties(CFDictionary& properties) { return noErr; }
    virtual OSStatus DecodeProperties(CFDictionary const& properties) { return noErr; }
};
