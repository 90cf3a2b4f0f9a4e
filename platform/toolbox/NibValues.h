#pragma once

// Readers of the attribute values of nib files; each answers false for a malformed value.

#include "corefoundation/CFString.h"
#include "quartz/CGGeometry.h"
#include "toolbox/HIViewTypes.h"

#include <optional>
#include <string_view>
#include <vector>

namespace tw::toolbox::nib {

// "x y width height" (numbers, sizes not negative).
bool ReadRect(std::string_view text, CGRect* out);
bool ReadNumber(std::string_view text, double* out);
bool ReadInteger(std::string_view text, SInt64* out);
// Exactly four characters (a command, creator, tag or signature).
bool ReadCode(std::string_view text, OSType* out);
bool ReadBool(std::string_view text, bool* out);
// "SIGN:number" or "SIGN".
bool ReadControlID(std::string_view text, HIViewID* out);
// Space-separated words, each in the table; the bits of each are or-ed together.
struct Word {
    char const* word;
    UInt32 bits;
};
bool ReadWords(std::string_view text, std::vector<Word> const& table, UInt32* out);
// "top:min left:min bottom:max right:max" (sides not named stay unbound).
bool ReadLayout(std::string_view text, HILayoutInfo* out);
CFStringRef CreateText(std::string_view utf8);

} // namespace tw::toolbox::nib
