#pragma once

// Static text functions: the default text encoding, localised bundle strings,
// four-character codes to and from text, and the clipboard's text.

#include "foundation/CString.h"
#include "foundation/CStringList.h"

#include <string>
#include <string_view>
#include <vector>

class CTextUtilities {
public:
    // Every conversion between texts and byte strings uses it: UTF-8.
    static CFStringEncoding GetDefaultTextEncoding() { return kCFStringEncodingUTF8; }

    // The main bundle's localised string for the key; the key itself when there is none.
    static CString GetBundleString(CString const& key);

    // At most 255 bytes, never ending inside a UTF-8 sequence.
    static void CopyStringToStr255(CString const& text, Str255& out, UInt32 encoding);

    // The first four characters, big-endian; shorter text is padded with spaces.
    static OSType GetOSTypeFromString(CString const& text);
    static CString GetStringFromOSType(OSType code);

    // A new array of the texts; the caller releases it.
    static CFArrayRef GetCFArrayFromCStringList(CStringList const& list);

    // 'TEXT' in the default encoding (or Unicode text when that is all there is).
    // The text without the characters a document (XML 1.0) cannot hold: the C0 controls other
    // than tab, line feed and carriage return, and U+FFFE and U+FFFF.
    static CString GetStorableText(CString const& text);
    static CString GetClipboardText();
    static OSStatus SetClipboardText(CString const& text);

    // One conversion of a printf format: the argument it reads (from 1) and its letters ("f",
    // "lf", "ld", "s"...), flags and width left out.
    struct FormatConversion {
        int argument;
        bool numbered; // written "%n$..."
        std::string letters;
    };
    // The conversions of a format in order, read as printf reads them ("%%" is a percent sign).
    // Bundle texts used as formats are checked through it before any argument is passed.
    static std::vector<FormatConversion> GetFormatConversions(std::string_view format);
};
