#pragma once

// A text value over one Core Foundation string. Copies share the string until
// one of them changes it (copy on write), so a string handed out by GetCFString
// and retained elsewhere never changes behind its holder's back. Byte output is
// converted into buffers the CString owns, valid until it next changes.
// `Find`, `Replace` and `Contains` ignore case; `Compare` and equality do not.
// Not shared between threads: workers take copies.

#include "platform/Platform.h"

#include <string>

class CString {
public:
    CString() = default;
    CString(CString const& other);
    CString(CString&& other) noexcept;
    // Takes over the caller's reference when adopt is set, else retains.
    CString(CFStringRef string, bool adopt);
    // Bytes in the encoding (kCFStringEncodingInvalidId: the default text encoding). Bytes
    // that are not valid in it are read as ISO Latin-1, so that no text is lost.
    CString(char const* text, CFStringEncoding encoding = kCFStringEncodingInvalidId);
    CString(char const* bytes, std::size_t length, CFStringEncoding encoding);
    explicit CString(UniChar const* utf16); // zero-terminated
    ~CString();

    CString& operator=(CString const& other);
    CString& operator=(CString&& other) noexcept;
    CString& operator=(char const* text);

    // Owned by this string; valid while it lives and does not change. Never null.
    CFStringRef GetCFString() const;
    char const* GetUTF8() const;
    char const* GetNarrow(CFStringEncoding encoding = kCFStringEncodingInvalidId) const; // '?' for the unencodable
    UniChar const* GetUTF16() const;
    std::string GetStdString() const { return GetUTF8(); }
    UInt32 GetLength() const; // UTF-16 units
    bool IsEmpty() const { return GetLength() == 0; }
    bool IsNotEmpty() const { return !IsEmpty(); }
    CString Left(UInt32 count) const;
    CString Right(UInt32 count) const;
    CString GetLower() const;
    SInt32 GetSInt32Value() const;
    UInt32 GetUInt32Value() const;

    void Empty();
    // printf directives plus %@; %s takes UTF-8 text. Replaces the contents.
    void Format(char const* format, ...);
    void FormatV(char const* format, va_list arguments);
    void SetCFString(CFStringRef string, bool adopt);
    void SetUInt32Value(UInt32 value);
    void MakeLower();
    void TrimRight(CString const& characters);
    void Replace(CString const& find, CString const& with); // first occurrence
    void ReplaceAll(CString const& find, CString const& with);

    CString& operator+=(CString const& other);
    CString operator+(CString const& other) const;

    bool operator==(CString const& other) const;
    bool operator!=(CString const& other) const { return !(*this == other); }
    SInt32 Compare(CString const& other) const; // -1, 0 or 1
    SInt32 CompareNoCase(CString const& other) const;
    bool EqualNoCase(CString const& other) const { return CompareNoCase(other) == 0; }
    bool Contains(CString const& text, bool caseSensitive = false) const;
    SInt32 Find(CString const& text, UInt32 start = 0) const; // -1 when absent

private:
    // The string to change: a mutable one that nobody else holds.
    CFMutableStringRef MutableString();
    void Assign(CFStringRef string); // takes over the reference

    CFStringRef mString = nullptr; // retains; null means empty
    mutable std::string mUTF8; // output buffers, refilled on each call
    mutable std::string mNarrow;
    mutable std::u16string mUTF16;
};
