#pragma once

// Reads numbers and punctuation from text, independent of the locale and
// without exceptions, in the manner of sscanf: numbers skip leading white space.
// Used by every text form the foundation reads (coordinates, colours, rectangles).

#include "platform/Platform.h"

#include <optional>
#include <string_view>

class CTextScanner {
public:
    explicit CTextScanner(std::string_view text);

    void SkipSpace();
    // Skips white space, then consumes c when it comes next.
    bool Literal(char c);
    // Consumes the exact text when it comes next (no white space skipped).
    bool Exactly(std::string_view text);
    std::optional<double> Double(); // finite values only
    std::optional<SInt64> Integer(); // decimal, optional sign
    std::optional<UInt64> Hex(int maxDigits); // hexadecimal digits only
    bool AtEnd() const { return mPos >= mText.size(); }
    // True when only white space is left.
    bool AtEndIgnoringSpace();

private:
    std::string_view mText;
    std::size_t mPos = 0;
};
