#pragma once

// CFString: immutable and mutable UTF-16 text.

#include "corefoundation/CFBase.h"

#include <atomic>
#include <cstdarg>
#include <mutex>
#include <string>
#include <string_view>

using CFStringEncoding = UInt32;

enum : CFStringEncoding {
    kCFStringEncodingMacRoman = 0,
    kCFStringEncodingWindowsLatin1 = 0x0500,
    kCFStringEncodingISOLatin1 = 0x0201,
    kCFStringEncodingASCII = 0x0600,
    kCFStringEncodingUnicode = 0x0100,
    kCFStringEncodingUTF8 = 0x08000100,
    kCFStringEncodingUTF16 = 0x0100,
    kCFStringEncodingUTF16BE = 0x10000100,
    kCFStringEncodingUTF16LE = 0x14000100,
    kCFStringEncodingInvalidId = 0xffffffffU,
};

enum : CFOptionFlags {
    kCFCompareCaseInsensitive = 1,
    kCFCompareBackwards = 4,
    kCFCompareAnchored = 8,
    kCFCompareNonliteral = 16,
    kCFCompareLocalized = 32,
    kCFCompareNumerically = 64,
};

namespace tw::cf {

class Dictionary;

class String final : public Object {
public:
    explicit String(std::u16string text, bool isMutable = false);
    // Immutable text of 7-bit characters kept as its bytes: half the memory of UTF-16,
    // and text that goes whole between UTF-8 files and UTF-8 callers (a track's tens of
    // megabytes of samples) is never converted. Null when a byte is above 0x7F.
    static String* CreateASCII(std::string text);
    static bool IsASCII(std::string_view text);

    CFTypeID TypeID() const override { return kTWTypeIDString; }
    bool Equals(Object const& other) const override;
    CFHashCode Hash() const override;
    String* CopyDescription() const override;

    // Text kept as bytes is widened on first use (once, whatever the thread) and kept.
    std::u16string const& Text() const;
    std::u16string& MutableText() { return mText; } // mutable strings are never kept as bytes
    std::size_t Length() const { return mASCII ? mBytes.size() : mText.size(); }
    // The bytes of text kept as 7-bit characters, else null.
    std::string const* ASCII() const { return mASCII ? &mBytes : nullptr; }
    bool IsMutable() const { return mMutable; }
    std::string UTF8() const;

private:
    friend void const* DictionaryGetValueForText(Dictionary const* d, std::string_view key);
    String(std::string bytes, bool);

    mutable std::u16string mText;
    std::string mBytes;
    bool mMutable;
    bool mASCII = false;
    mutable std::once_flag mWidened;
    mutable std::atomic<CFHashCode> mHash { 0 }; // 0: not worked out yet (immutable text only)
};

// A constant string for a literal, made once per distinct text and never freed.
String const* ConstantString(char const* utf8);

// Our own conversions, used throughout the platform layer.
std::u16string UTF8ToUTF16(std::string_view utf8);
std::string UTF16ToUTF8(std::u16string_view utf16);
// Returns the retained string, or null when the bytes are not valid in the encoding.
String* CreateString(std::string_view utf8);
std::string ToUTF8(String const* s); // empty for null

} // namespace tw::cf

using CFStringRef = tw::cf::String const*;
using CFMutableStringRef = tw::cf::String*;

#define CFSTR(text) (::tw::cf::ConstantString("" text ""))

namespace tw::cf {
class Dictionary;
class Array;
}
using CFDictionaryRef = tw::cf::Dictionary const*;
using CFArrayRef = tw::cf::Array const*;
using CFLocaleRef = void const*;

CFTypeID CFStringGetTypeID();

CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, char const* cStr, CFStringEncoding encoding);
CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, UInt8 const* bytes, CFIndex numBytes,
    CFStringEncoding encoding, Boolean isExternalRepresentation);
CFStringRef CFStringCreateWithCharacters(CFAllocatorRef alloc, UniChar const* chars, CFIndex numChars);
CFStringRef CFStringCreateCopy(CFAllocatorRef alloc, CFStringRef s);
CFStringRef CFStringCreateWithSubstring(CFAllocatorRef alloc, CFStringRef s, CFRange range);
// printf directives plus %@ (the object's description; "(null)" for null).
CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFDictionaryRef formatOptions, CFStringRef format, ...);
CFStringRef CFStringCreateWithFormatAndArguments(
    CFAllocatorRef alloc, CFDictionaryRef formatOptions, CFStringRef format, va_list arguments);
CFArrayRef CFStringCreateArrayBySeparatingStrings(CFAllocatorRef alloc, CFStringRef s, CFStringRef separator);
CFStringRef CFStringCreateByCombiningStrings(CFAllocatorRef alloc, CFArrayRef strings, CFStringRef separator);

CFMutableStringRef CFStringCreateMutable(CFAllocatorRef alloc, CFIndex maxLength);
CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef alloc, CFIndex maxLength, CFStringRef s);

CFIndex CFStringGetLength(CFStringRef s);
UniChar CFStringGetCharacterAtIndex(CFStringRef s, CFIndex index);
void CFStringGetCharacters(CFStringRef s, CFRange range, UniChar* buffer);
// Zero-terminated bytes; false when the buffer is too small or a character has no form in the encoding.
Boolean CFStringGetCString(CFStringRef s, char* buffer, CFIndex bufferSize, CFStringEncoding encoding);
char const* CFStringGetCStringPtr(CFStringRef s, CFStringEncoding encoding); // may be null
// Returns the number of characters converted; lossByte 0 stops at the first unconvertible one.
CFIndex CFStringGetBytes(CFStringRef s, CFRange range, CFStringEncoding encoding, UInt8 lossByte,
    Boolean isExternalRepresentation, UInt8* buffer, CFIndex maxBufLen, CFIndex* usedBufLen);
CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding);
SInt32 CFStringGetIntValue(CFStringRef s);
double CFStringGetDoubleValue(CFStringRef s);

CFComparisonResult CFStringCompare(CFStringRef a, CFStringRef b, CFOptionFlags options);
CFComparisonResult CFStringCompareWithOptions(
    CFStringRef a, CFStringRef b, CFRange rangeToCompare, CFOptionFlags options);
CFRange CFStringFind(CFStringRef s, CFStringRef toFind, CFOptionFlags options);
Boolean CFStringFindWithOptions(
    CFStringRef s, CFStringRef toFind, CFRange rangeToSearch, CFOptionFlags options, CFRange* result);
Boolean CFStringHasPrefix(CFStringRef s, CFStringRef prefix);
Boolean CFStringHasSuffix(CFStringRef s, CFStringRef suffix);

void CFStringAppend(CFMutableStringRef s, CFStringRef appended);
void CFStringAppendCString(CFMutableStringRef s, char const* cStr, CFStringEncoding encoding);
void CFStringAppendCharacters(CFMutableStringRef s, UniChar const* chars, CFIndex numChars);
void CFStringAppendFormat(CFMutableStringRef s, CFDictionaryRef formatOptions, CFStringRef format, ...);
void CFStringInsert(CFMutableStringRef s, CFIndex index, CFStringRef inserted);
void CFStringDelete(CFMutableStringRef s, CFRange range);
void CFStringReplace(CFMutableStringRef s, CFRange range, CFStringRef replacement);
void CFStringReplaceAll(CFMutableStringRef s, CFStringRef replacement);
CFIndex CFStringFindAndReplace(
    CFMutableStringRef s, CFStringRef find, CFStringRef replace, CFRange rangeToSearch, CFOptionFlags options);
void CFStringLowercase(CFMutableStringRef s, CFLocaleRef locale);
void CFStringUppercase(CFMutableStringRef s, CFLocaleRef locale);
void CFStringTrimWhitespace(CFMutableStringRef s);
