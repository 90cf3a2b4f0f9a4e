#include "corefoundation/CFString.h"

#include "corefoundation/Misuse.h"
#include "corefoundation/StringAccess.h"
#include "corefoundation/StringEncoding.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace tw::cf {

String::String(std::u16string text, bool isMutable)
    : mText(std::move(text))
    , mMutable(isMutable)
{
}

String::String(std::string bytes, bool)
    : mBytes(std::move(bytes))
    , mMutable(false)
    , mASCII(true)
{
}

// Eight bytes at a time: a large file's text is mostly 7-bit.
bool String::IsASCII(std::string_view text)
{
    constexpr UInt64 kHighBits = 0x8080808080808080ULL;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        UInt64 word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & kHighBits)
            return false;
    }
    return std::none_of(text.begin() + std::ptrdiff_t(i), text.end(), [](char c) { return UInt8(c) > 0x7F; });
}

String* String::CreateASCII(std::string text)
{
    if (!IsASCII(text))
        return nullptr;
    return new String(std::move(text), true);
}

std::u16string const& String::Text() const
{
    if (mASCII)
        std::call_once(mWidened, [this] { mText.assign(mBytes.begin(), mBytes.end()); });
    return mText;
}

bool String::Equals(Object const& other) const
{
    auto const& that = static_cast<String const&>(other);
    if (mASCII && that.mASCII)
        return mBytes == that.mBytes;
    if (Length() != that.Length())
        return false;
    if (mASCII != that.mASCII) {
        // Compared unit by unit, so that neither is widened for it.
        std::string const& bytes = mASCII ? mBytes : that.mBytes;
        std::u16string const& units = mASCII ? that.mText : mText;
        return std::equal(bytes.begin(), bytes.end(), units.begin(), [](char b, char16_t u) { return char16_t(b) == u; });
    }
    return mText == that.mText;
}

// The same for either form of the same text. Text that cannot change keeps its hash: a
// key shared by many dictionaries is hashed once.
CFHashCode String::Hash() const
{
    if (!mMutable)
        if (CFHashCode const kept = mHash.load(std::memory_order_relaxed))
            return kept;
    UInt64 hash = 14695981039346656037ULL;
    auto const mix = [&hash](char16_t unit) {
        hash = (hash ^ UInt64(unit)) * 1099511628211ULL;
    };
    if (mASCII)
        for (char c : mBytes)
            mix(char16_t(c));
    else
        for (char16_t unit : mText)
            mix(unit);
    if (!mMutable)
        mHash.store(CFHashCode(hash), std::memory_order_relaxed); // any thread finds the same
    return CFHashCode(hash);
}

String* String::CopyDescription() const { return mASCII ? CreateASCII(mBytes) : new String(mText); }

std::string String::UTF8() const { return mASCII ? mBytes : UTF16ToUTF8(mText); }

String const* ConstantString(char const* utf8)
{
    // Never freed, and reachable from this static so leak checkers stay quiet.
    static std::mutex* const sLock = new std::mutex;
    static auto* const sTable = new std::unordered_map<std::string, String const*>;
    std::lock_guard<std::mutex> lock(*sLock);
    auto [it, inserted] = sTable->try_emplace(utf8, nullptr);
    if (inserted) {
        auto* s = new String(UTF8ToUTF16(utf8));
        s->MakeImmortal();
        it->second = s;
    }
    return it->second;
}

String* CreateString(std::string_view utf8)
{
    if (String::IsASCII(utf8))
        return String::CreateASCII(std::string(utf8));
    auto text = DecodeUTF8(utf8);
    return text ? new String(std::move(*text)) : nullptr;
}

std::string ToUTF8(String const* s) { return s ? s->UTF8() : std::string(); }

bool IsValidRange(String const* s, CFRange range)
{
    auto const length = s ? CFIndex(s->Length()) : 0;
    return range.location >= 0 && range.length >= 0 && range.location <= length
        && range.length <= length - range.location;
}

bool CheckMutable(String const* s, char const* function)
{
    if (!s) {
        ReportMisuse(function, "null string");
        return false;
    }
    if (!s->IsMutable()) {
        ReportMisuse(function, "string is immutable");
        return false;
    }
    return true;
}

bool IsWhitespace(char16_t u)
{
    return u == u' ' || (u >= 0x09 && u <= 0x0D) || u == 0x85 || u == 0xA0 || u == 0x1680
        || (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 || u == 0x202F || u == 0x205F || u == 0x3000
        || u == 0xFEFF;
}

} // namespace tw::cf

using tw::cf::String;

namespace {

// 7-bit text reads the same in each of these encodings.
bool HasASCIIForm(CFStringEncoding encoding)
{
    return encoding == kCFStringEncodingUTF8 || encoding == kCFStringEncodingASCII
        || encoding == kCFStringEncodingMacRoman || encoding == kCFStringEncodingISOLatin1
        || encoding == kCFStringEncodingWindowsLatin1;
}

} // namespace

CFTypeID CFStringGetTypeID() { return kTWTypeIDString; }

CFStringRef CFStringCreateWithCString(CFAllocatorRef, char const* cStr, CFStringEncoding encoding)
{
    if (!cStr)
        return nullptr;
    return CFStringCreateWithBytes(
        nullptr, reinterpret_cast<UInt8 const*>(cStr), CFIndex(std::strlen(cStr)), encoding, false);
}

CFStringRef CFStringCreateWithBytes(
    CFAllocatorRef, UInt8 const* bytes, CFIndex numBytes, CFStringEncoding encoding, Boolean isExternalRepresentation)
{
    std::string_view const raw(reinterpret_cast<char const*>(bytes), bytes ? size_t(std::max<CFIndex>(numBytes, 0)) : 0);
    if (HasASCIIForm(encoding) && !raw.empty() && String::IsASCII(raw))
        return String::CreateASCII(std::string(raw));
    auto text = tw::cf::DecodeBytes(bytes, numBytes, encoding, isExternalRepresentation);
    return text ? new String(std::move(*text)) : nullptr;
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, UniChar const* chars, CFIndex numChars)
{
    if (numChars < 0 || (!chars && numChars > 0))
        return nullptr;
    return new String(std::u16string(chars, chars + numChars));
}

CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef s)
{
    if (!s)
        return nullptr;
    if (!s->IsMutable()) {
        s->Retain();
        return s;
    }
    return new String(s->Text());
}

CFStringRef CFStringCreateWithSubstring(CFAllocatorRef, CFStringRef s, CFRange range)
{
    if (!tw::cf::IsValidRange(s, range)) {
        tw::cf::ReportMisuse("CFStringCreateWithSubstring", "range out of bounds");
        return nullptr;
    }
    return new String(s->Text().substr(size_t(range.location), size_t(range.length)));
}

CFMutableStringRef CFStringCreateMutable(CFAllocatorRef, CFIndex) { return new String(std::u16string(), true); }

CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef, CFIndex, CFStringRef s)
{
    return new String(s ? s->Text() : std::u16string(), true);
}

CFIndex CFStringGetLength(CFStringRef s) { return s ? CFIndex(s->Length()) : 0; }

UniChar CFStringGetCharacterAtIndex(CFStringRef s, CFIndex index)
{
    if (!s || index < 0 || index >= CFIndex(s->Text().size())) {
        tw::cf::ReportMisuse("CFStringGetCharacterAtIndex", "index out of bounds");
        return 0;
    }
    return s->Text()[size_t(index)];
}

void CFStringGetCharacters(CFStringRef s, CFRange range, UniChar* buffer)
{
    if (!buffer || !tw::cf::IsValidRange(s, range)) {
        tw::cf::ReportMisuse("CFStringGetCharacters", "range out of bounds");
        return;
    }
    s->Text().copy(buffer, size_t(range.length), size_t(range.location));
}

Boolean CFStringGetCString(CFStringRef s, char* buffer, CFIndex bufferSize, CFStringEncoding encoding)
{
    if (!buffer || bufferSize <= 0)
        return false;
    buffer[0] = '\0';
    std::u16string_view text = s ? std::u16string_view(s->Text()) : std::u16string_view();
    auto* out = reinterpret_cast<UInt8*>(buffer);
    auto const result = tw::cf::EncodeText(text, encoding, 0, false, out, bufferSize - 1);
    if (result.converted != CFIndex(text.size())) {
        buffer[0] = '\0';
        return false;
    }
    buffer[result.used] = '\0';
    return true;
}

char const* CFStringGetCStringPtr(CFStringRef s, CFStringEncoding encoding)
{
    // Only text kept as 7-bit bytes has them; callers fall back to CFStringGetCString.
    return s && HasASCIIForm(encoding) && s->ASCII() ? s->ASCII()->c_str() : nullptr;
}

CFIndex CFStringGetBytes(CFStringRef s, CFRange range, CFStringEncoding encoding, UInt8 lossByte,
    Boolean isExternalRepresentation, UInt8* buffer, CFIndex maxBufLen, CFIndex* usedBufLen)
{
    if (usedBufLen)
        *usedBufLen = 0;
    if (!tw::cf::IsValidRange(s, range)) {
        tw::cf::ReportMisuse("CFStringGetBytes", "range out of bounds");
        return 0;
    }
    std::u16string_view text(s->Text().data() + range.location, size_t(range.length));
    auto const result = tw::cf::EncodeText(text, encoding, lossByte, isExternalRepresentation, buffer, maxBufLen);
    if (usedBufLen)
        *usedBufLen = result.used;
    return result.converted;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding)
{
    if (encoding == kCFStringEncodingUTF8)
        return length * 3;
    if (encoding == kCFStringEncodingUTF16 || encoding == kCFStringEncodingUTF16BE
        || encoding == kCFStringEncodingUTF16LE)
        return length * 2;
    return length;
}
