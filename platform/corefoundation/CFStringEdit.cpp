// Changing mutable strings.

#include "corefoundation/CFString.h"
#include "corefoundation/CaseMapping.h"
#include "corefoundation/Misuse.h"
#include "corefoundation/StringAccess.h"
#include "corefoundation/StringEncoding.h"

#include <cstring>

using tw::cf::CheckMutable;

void CFStringAppend(CFMutableStringRef s, CFStringRef appended)
{
    if (CheckMutable(s, "CFStringAppend") && appended)
        s->MutableText() += appended->Text();
}

void CFStringAppendCString(CFMutableStringRef s, char const* cStr, CFStringEncoding encoding)
{
    if (!CheckMutable(s, "CFStringAppendCString") || !cStr)
        return;
    auto text = tw::cf::DecodeBytes(reinterpret_cast<UInt8 const*>(cStr), CFIndex(std::strlen(cStr)), encoding, false);
    if (!text) {
        tw::cf::ReportMisuse("CFStringAppendCString", "bytes are not valid in the encoding");
        return;
    }
    s->MutableText() += *text;
}

void CFStringAppendCharacters(CFMutableStringRef s, UniChar const* chars, CFIndex numChars)
{
    if (CheckMutable(s, "CFStringAppendCharacters") && chars && numChars > 0)
        s->MutableText().append(chars, size_t(numChars));
}

void CFStringInsert(CFMutableStringRef s, CFIndex index, CFStringRef inserted)
{
    if (!CheckMutable(s, "CFStringInsert") || !inserted)
        return;
    if (index < 0 || index > CFIndex(s->Text().size())) {
        tw::cf::ReportMisuse("CFStringInsert", "index out of bounds");
        return;
    }
    s->MutableText().insert(size_t(index), inserted->Text());
}

void CFStringDelete(CFMutableStringRef s, CFRange range) { CFStringReplace(s, range, nullptr); }

void CFStringReplace(CFMutableStringRef s, CFRange range, CFStringRef replacement)
{
    if (!CheckMutable(s, "CFStringReplace"))
        return;
    if (!tw::cf::IsValidRange(s, range)) {
        tw::cf::ReportMisuse("CFStringReplace", "range out of bounds");
        return;
    }
    std::u16string const with = replacement ? replacement->Text() : std::u16string();
    s->MutableText().replace(size_t(range.location), size_t(range.length), with);
}

void CFStringReplaceAll(CFMutableStringRef s, CFStringRef replacement)
{
    if (CheckMutable(s, "CFStringReplaceAll"))
        s->MutableText() = replacement ? replacement->Text() : std::u16string();
}

void CFStringLowercase(CFMutableStringRef s, CFLocaleRef)
{
    if (!CheckMutable(s, "CFStringLowercase"))
        return;
    for (char16_t& unit : s->MutableText())
        unit = tw::cf::ToLowerCase(unit);
}

void CFStringUppercase(CFMutableStringRef s, CFLocaleRef)
{
    if (!CheckMutable(s, "CFStringUppercase"))
        return;
    for (char16_t& unit : s->MutableText())
        unit = tw::cf::ToUpperCase(unit);
}

void CFStringTrimWhitespace(CFMutableStringRef s)
{
    if (!CheckMutable(s, "CFStringTrimWhitespace"))
        return;
    std::u16string& text = s->MutableText();
    size_t end = text.size();
    while (end > 0 && tw::cf::IsWhitespace(text[end - 1]))
        --end;
    size_t begin = 0;
    while (begin < end && tw::cf::IsWhitespace(text[begin]))
        ++begin;
    text = text.substr(begin, end - begin);
}

void CFStringAppendFormat(CFMutableStringRef s, CFDictionaryRef formatOptions, CFStringRef format, ...)
{
    if (!CheckMutable(s, "CFStringAppendFormat"))
        return;
    va_list arguments;
    va_start(arguments, format);
    CFStringRef text = CFStringCreateWithFormatAndArguments(nullptr, formatOptions, format, arguments);
    va_end(arguments);
    CFStringAppend(s, text);
    CFRelease(text);
}
