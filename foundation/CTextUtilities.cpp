#include "foundation/CTextUtilities.h"

#include "foundation/Status.h"

#include <algorithm>
#include <cstring>
#include <vector>

CString CTextUtilities::GetBundleString(CString const& key)
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (!bundle || key.IsEmpty())
        return key;
    CFStringRef text = CFBundleCopyLocalizedString(bundle, key.GetCFString(), key.GetCFString(), nullptr);
    return text ? CString(text, true) : key;
}

void CTextUtilities::CopyStringToStr255(CString const& text, Str255& out, UInt32 encoding)
{
    std::string bytes = text.GetNarrow(encoding);
    std::size_t n = std::min<std::size_t>(bytes.size(), 255);
    if (encoding == kCFStringEncodingUTF8 || encoding == kCFStringEncodingInvalidId) {
        while (n > 0 && n < bytes.size() && (UInt8(bytes[n]) & 0xC0) == 0x80)
            --n;
    }
    out[0] = UInt8(n);
    std::memcpy(out + 1, bytes.data(), n);
}

OSType CTextUtilities::GetOSTypeFromString(CString const& text)
{
    UniChar const* units = text.GetUTF16();
    UInt32 length = text.GetLength();
    OSType code = 0;
    for (UInt32 i = 0; i < 4; ++i) {
        UniChar c = i < length ? units[i] : u' ';
        code = (code << 8) | (c <= 0xFF ? UInt8(c) : UInt8('?'));
    }
    return code;
}

CString CTextUtilities::GetStringFromOSType(OSType code)
{
    char bytes[4] = { char(code >> 24), char(code >> 16), char(code >> 8), char(code) };
    return CString(bytes, sizeof bytes, kCFStringEncodingISOLatin1);
}

CFArrayRef CTextUtilities::GetCFArrayFromCStringList(CStringList const& list)
{
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, CFIndex(list.size()), &kCFTypeArrayCallBacks);
    for (CString const& text : list)
        CFArrayAppendValue(array, text.GetCFString());
    return array;
}

CString CTextUtilities::GetClipboardText()
{
    ScrapRef scrap = nullptr;
    if (GetCurrentScrap(&scrap) != noErr)
        return CString();
    for (ScrapFlavorType flavour : { kScrapFlavorTypeText, kScrapFlavorTypeUnicode }) {
        Size size = 0;
        if (GetScrapFlavorSize(scrap, flavour, &size) != noErr)
            continue;
        std::vector<char> bytes(std::size_t(size) + 2, 0);
        if (GetScrapFlavorData(scrap, flavour, &size, bytes.data()) != noErr)
            continue;
        if (flavour == kScrapFlavorTypeText)
            return CString(bytes.data(), std::size_t(size), GetDefaultTextEncoding());
        std::u16string units(std::size_t(size) / 2, u'\0');
        std::memcpy(units.data(), bytes.data(), units.size() * 2);
        return CString(units.c_str());
    }
    return CString();
}

OSStatus CTextUtilities::SetClipboardText(CString const& text)
{
    TW_RETURN_IF_ERROR(ClearCurrentScrap());
    ScrapRef scrap = nullptr;
    TW_RETURN_IF_ERROR(GetCurrentScrap(&scrap));
    std::string bytes = text.GetNarrow(GetDefaultTextEncoding());
    return PutScrapFlavor(scrap, kScrapFlavorTypeText, kScrapFlavorMaskNone, Size(bytes.size()), bytes.data());
}

std::vector<CTextUtilities::FormatConversion> CTextUtilities::GetFormatConversions(std::string_view format)
{
    std::vector<FormatConversion> conversions;
    int next = 1;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        std::size_t j = i + 1;
        if (j < format.size() && format[j] == '%') {
            i = j;
            continue;
        }
        FormatConversion conversion { 0, false, {} };
        std::size_t k = j;
        while (k < format.size() && format[k] >= '0' && format[k] <= '9')
            ++k;
        if (k < format.size() && format[k] == '$' && k > j && k - j < 4) {
            conversion.argument = std::stoi(std::string(format.substr(j, k - j)));
            conversion.numbered = true;
            j = k + 1;
        } else {
            conversion.argument = next++;
        }
        while (j < format.size() && std::string_view("-+ #0123456789.").find(format[j]) != std::string_view::npos)
            ++j;
        std::size_t const start = j;
        while (j < format.size() && ((format[j] >= 'a' && format[j] <= 'z') || (format[j] >= 'A' && format[j] <= 'Z')))
            ++j;
        conversion.letters = std::string(format.substr(start, j - start));
        conversions.push_back(std::move(conversion));
        i = j - 1;
    }
    return conversions;
}

CString CTextUtilities::GetStorableText(CString const& text)
{
    std::string const utf8 = text.GetStdString();
    auto const storable = [&utf8](std::size_t i) {
        auto const c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20)
            return c == '\t' || c == '\n' || c == '\r';
        // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
        return !(c == 0xEF && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0xBF
            && (static_cast<unsigned char>(utf8[i + 2]) & 0xFE) == 0xBE);
    };
    std::string kept;
    bool changed = false;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (storable(i)) {
            kept += utf8[i];
            continue;
        }
        changed = true;
        if (static_cast<unsigned char>(utf8[i]) == 0xEF)
            i += 2;
    }
    return changed ? CString(kept.data(), kept.size(), kCFStringEncodingUTF8) : text;
}
