#pragma once

// A property dictionary for documents and map objects, over a mutable
// CFDictionary that this object owns. Values are typed: texts, four-character
// codes stored as text, numbers, Booleans, nested arrays and dictionaries,
// and rectangles and colours stored as text ("%f %f %f %f"). A missing value,
// or one of another type, reads as the type's empty value. Copies are deep
// enough that changing one never changes another.

#include "foundation/CString.h"
#include "foundation/ColourRGBA.h"

class CFArray;

class CFDictionary {
public:
    // A key to read by: a string, or text (a constant name) looked up as it stands,
    // without a string object made for each lookup.
    class Key {
    public:
        Key(CString const& key)
            : mString(&key)
        {
        }
        Key(char const* key)
            : mText(key)
        {
        }

    private:
        friend class CFDictionary;
        CString const* mString = nullptr;
        char const* mText = nullptr;
    };

    CFDictionary();
    explicit CFDictionary(CFDictionaryRef dictionary); // a mutable copy; empty for null or another type
    // The dictionary itself, retained, to be read where it lies (a large document's): no copy.
    enum class Shared { kForReading };
    CFDictionary(CFDictionaryRef dictionary, Shared);
    CFDictionary(CFDictionary const& other);
    CFDictionary(CFDictionary&& other) noexcept;
    CFDictionary& operator=(CFDictionary const& other);
    CFDictionary& operator=(CFDictionary&& other) noexcept;
    ~CFDictionary();

    CFDictionaryRef GetCFDictionary() const { return mDictionary; } // borrowed
    UInt32 GetCount() const;
    bool HasKey(Key key) const;
    void RemoveValue(CString const& key);
    void Clear();

    CString GetValueString(Key key) const;
    OSType GetValueOSType(Key key) const;
    UInt32 GetValueUInt32(Key key) const;
    Float32 GetValueFloat32(Key key) const;
    Float64 GetValueFloat64(Key key) const;
    bool GetValueBoolean(Key key) const;
    CFArray GetValueArray(Key key) const;
    CFDictionary GetValueDictionary(Key key) const;
    CGRect GetValueRect(Key key) const; // CGRectZero unless four numbers read
    ColourRGBA GetValueColour(Key key, ColourRGBA const& defaultColour) const;

    void SetValueString(CString const& key, CString const& value);
    void SetValueOSType(CString const& key, OSType value);
    void SetValueUInt32(CString const& key, UInt32 value);
    void SetValueFloat32(CString const& key, Float32 value);
    void SetValueFloat64(CString const& key, Float64 value);
    void SetValueBoolean(CString const& key, bool value);
    void SetValueArray(CString const& key, CFArray const& value);
    void SetValueDictionary(CString const& key, CFDictionary const& value);
    void SetValueRect(CString const& key, CGRect const& value); // "x y width height"
    void SetValueColour(CString const& key, ColourRGBA const& value);
    // Retains the value itself, not a copy: for a container that is the caller's own.
    void SetValue(CString const& key, CFTypeRef value);

private:
    CFTypeRef GetValue(Key key) const; // borrowed
    void SetValueAndRelease(CString const& key, CFTypeRef value);

    CFMutableDictionaryRef mDictionary; // owns
};
