#include "foundation/CString.h"

#include "foundation/CTextScanner.h"
#include "foundation/CTextUtilities.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstring>

namespace {

CFStringEncoding Resolve(CFStringEncoding encoding)
{
    return encoding == kCFStringEncodingInvalidId ? CTextUtilities::GetDefaultTextEncoding() : encoding;
}

CFStringRef CreateFromBytes(char const* bytes, std::size_t length, CFStringEncoding encoding)
{
    if (!bytes || length == 0)
        return nullptr;
    auto const* data = reinterpret_cast<UInt8 const*>(bytes);
    CFStringRef s = CFStringCreateWithBytes(nullptr, data, CFIndex(length), Resolve(encoding), false);
    if (!s)
        s = CFStringCreateWithBytes(nullptr, data, CFIndex(length), kCFStringEncodingISOLatin1, false);
    return s;
}

SInt32 Clamp(SInt64 value) { return SInt32(std::clamp<SInt64>(value, INT32_MIN, INT32_MAX)); }

} // namespace

CString::CString(CString const& other)
    : mString(other.mString ? static_cast<CFStringRef>(CFRetain(other.mString)) : nullptr)
{
}

CString::CString(CString&& other) noexcept
    : mString(other.mString)
{
    other.mString = nullptr;
}

CString::CString(CFStringRef string, bool adopt) { SetCFString(string, adopt); }

CString::CString(char const* text, CFStringEncoding encoding)
    : mString(text ? CreateFromBytes(text, std::strlen(text), encoding) : nullptr)
{
}

CString::CString(char const* bytes, std::size_t length, CFStringEncoding encoding)
    : mString(CreateFromBytes(bytes, length, encoding))
{
}

CString::CString(UniChar const* utf16)
{
    if (!utf16)
        return;
    std::size_t length = std::char_traits<char16_t>::length(utf16);
    if (length > 0)
        mString = CFStringCreateWithCharacters(nullptr, utf16, CFIndex(length));
}

CString::~CString()
{
    if (mString)
        CFRelease(mString);
}

CString& CString::operator=(CString const& other)
{
    if (this != &other)
        Assign(other.mString ? static_cast<CFStringRef>(CFRetain(other.mString)) : nullptr);
    return *this;
}

CString& CString::operator=(CString&& other) noexcept
{
    if (this != &other) {
        Assign(other.mString);
        other.mString = nullptr;
    }
    return *this;
}

CString& CString::operator=(char const* text)
{
    Assign(text ? CreateFromBytes(text, std::strlen(text), kCFStringEncodingInvalidId) : nullptr);
    return *this;
}

void CString::Assign(CFStringRef string)
{
    CFStringRef old = mString;
    mString = string;
    if (old)
        CFRelease(old);
}

CFMutableStringRef CString::MutableString()
{
    if (!mString)
        mString = CFStringCreateMutable(nullptr, 0);
    else if (!mString->IsMutable() || CFGetRetainCount(mString) > 1)
        Assign(CFStringCreateMutableCopy(nullptr, 0, mString));
    return const_cast<CFMutableStringRef>(mString);
}

CFStringRef CString::GetCFString() const { return mString ? mString : CFSTR(""); }

char const* CString::GetUTF8() const
{
    mUTF8 = tw::cf::ToUTF8(mString);
    return mUTF8.c_str();
}

char const* CString::GetNarrow(CFStringEncoding encoding) const
{
    encoding = Resolve(encoding);
    mNarrow.clear();
    if (!mString)
        return mNarrow.c_str();
    CFIndex length = CFStringGetLength(mString);
    CFIndex used = 0;
    CFStringGetBytes(mString, CFRangeMake(0, length), encoding, '?', false, nullptr, 0, &used);
    mNarrow.resize(std::size_t(used));
    CFStringGetBytes(
        mString, CFRangeMake(0, length), encoding, '?', false, reinterpret_cast<UInt8*>(mNarrow.data()), used, &used);
    mNarrow.resize(std::size_t(used));
    return mNarrow.c_str();
}

UniChar const* CString::GetUTF16() const
{
    mUTF16 = mString ? mString->Text() : std::u16string();
    return mUTF16.c_str();
}

UInt32 CString::GetLength() const { return mString ? UInt32(CFStringGetLength(mString)) : 0; }

CString CString::Left(UInt32 count) const
{
    UInt32 n = std::min(count, GetLength());
    return n == 0 ? CString() : CString(CFStringCreateWithSubstring(nullptr, mString, CFRangeMake(0, n)), true);
}

CString CString::Right(UInt32 count) const
{
    UInt32 length = GetLength();
    UInt32 n = std::min(count, length);
    if (n == 0)
        return CString();
    return CString(CFStringCreateWithSubstring(nullptr, mString, CFRangeMake(length - n, n)), true);
}

CString CString::GetLower() const
{
    CString lower(*this);
    lower.MakeLower();
    return lower;
}

SInt32 CString::GetSInt32Value() const
{
    SInt32 value = CFStringGetIntValue(GetCFString());
    if (value != 0)
        return value;
    std::string text = GetUTF8();
    CTextScanner hex(text);
    if (hex.Exactly("0x") || hex.Exactly("0X")) {
        hex.SkipSpace();
        if (auto digits = hex.Hex(16); digits && *digits <= UINT32_MAX)
            return SInt32(UInt32(*digits));
    }
    CTextScanner decimal(text);
    auto number = decimal.Integer();
    return number ? Clamp(*number) : 0;
}

UInt32 CString::GetUInt32Value() const
{
    std::string text = GetUTF8();
    CTextScanner scanner(text);
    auto number = scanner.Integer();
    if (!number || *number < 0)
        return 0;
    return UInt32(std::min<SInt64>(*number, UINT32_MAX));
}

void CString::Empty() { Assign(nullptr); }

void CString::Format(char const* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    FormatV(format, arguments);
    va_end(arguments);
}

void CString::FormatV(char const* format, va_list arguments)
{
    CFStringRef formatString = format ? CFStringCreateWithCString(nullptr, format, kCFStringEncodingUTF8) : nullptr;
    Assign(formatString ? CFStringCreateWithFormatAndArguments(nullptr, nullptr, formatString, arguments) : nullptr);
    if (formatString)
        CFRelease(formatString);
}

void CString::SetCFString(CFStringRef string, bool adopt)
{
    if (string && !adopt) {
        // A borrowed mutable string may change under us later: keep our own copy of it.
        string = string->IsMutable() ? CFStringCreateCopy(nullptr, string) : static_cast<CFStringRef>(CFRetain(string));
    }
    Assign(string);
}

void CString::SetUInt32Value(UInt32 value) { Format("%u", value); }

void CString::MakeLower()
{
    if (!IsEmpty())
        CFStringLowercase(MutableString(), nullptr);
}

void CString::TrimRight(CString const& characters)
{
    if (IsEmpty() || characters.IsEmpty())
        return;
    std::u16string const& text = mString->Text();
    std::u16string const& set = characters.mString->Text();
    std::size_t keep = text.size();
    while (keep > 0 && set.find(text[keep - 1]) != std::u16string::npos)
        --keep;
    if (keep < text.size())
        CFStringDelete(MutableString(), CFRangeMake(CFIndex(keep), CFIndex(text.size() - keep)));
}

void CString::Replace(CString const& find, CString const& with)
{
    SInt32 at = Find(find);
    if (at < 0)
        return;
    CString replacement(with); // find or with may be this string itself
    CFStringReplace(MutableString(), CFRangeMake(at, find.GetLength()), replacement.GetCFString());
}

void CString::ReplaceAll(CString const& find, CString const& with)
{
    if (Find(find) < 0)
        return;
    CString target(find);
    CString replacement(with);
    CFMutableStringRef s = MutableString();
    CFStringFindAndReplace(s, target.GetCFString(), replacement.GetCFString(), CFRangeMake(0, CFStringGetLength(s)),
        kCFCompareCaseInsensitive);
}

CString& CString::operator+=(CString const& other)
{
    if (other.IsEmpty())
        return *this;
    CString appended(other); // keeps the text when other is this string
    CFStringAppend(MutableString(), appended.GetCFString());
    return *this;
}

CString CString::operator+(CString const& other) const
{
    CString sum(*this);
    sum += other;
    return sum;
}

// Equal units, as a literal comparison finds, without widening text kept as bytes.
bool CString::operator==(CString const& other) const
{
    CFStringRef const a = GetCFString();
    CFStringRef const b = other.GetCFString();
    return a == b || CFEqual(a, b);
}

SInt32 CString::Compare(CString const& other) const
{
    return SInt32(CFStringCompare(GetCFString(), other.GetCFString(), 0));
}

SInt32 CString::CompareNoCase(CString const& other) const
{
    return SInt32(CFStringCompare(GetCFString(), other.GetCFString(), kCFCompareCaseInsensitive));
}

bool CString::Contains(CString const& text, bool caseSensitive) const
{
    if (text.IsEmpty())
        return true;
    CFRange found = CFStringFind(
        GetCFString(), text.GetCFString(), caseSensitive ? CFOptionFlags(0) : CFOptionFlags(kCFCompareCaseInsensitive));
    return found.location != kCFNotFound;
}

SInt32 CString::Find(CString const& text, UInt32 start) const
{
    UInt32 length = GetLength();
    if (text.IsEmpty() || start >= length)
        return -1;
    CFRange found;
    if (!CFStringFindWithOptions(
            GetCFString(), text.GetCFString(), CFRangeMake(start, length - start), kCFCompareCaseInsensitive, &found))
        return -1;
    return SInt32(found.location);
}
