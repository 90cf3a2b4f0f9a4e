#pragma once

// Writes an object tree as an XML property list: the standard header and DOCTYPE,
// tab indentation, dictionary keys sorted. Characters of a text XML 1.0 cannot carry are
// written as U+FFFD. Refuses (null, with a reason) anything that is not a property-list
// type and over-deep or cyclic containers, so that it never writes a file no reader can load.

#include "corefoundation/CFPropertyList.h"

#include <string>

namespace tw::cf {

class PropertyListWriter {
public:
    static constexpr int kMaximumDepth = 512;

    CFDataRef Write(CFPropertyListRef plist); // +1, or null
    std::string const& Error() const { return mError; }

private:
    bool Append(CFTypeRef value, int depth);
    bool AppendArray(Array const& array, int depth);
    bool AppendDictionary(Dictionary const& dictionary, int depth);
    bool AppendText(char const* tag, String const& text, int depth);
    bool AppendNumber(Number const& number, int depth);
    bool AppendDate(Date const& date, int depth);
    void AppendData(Data const& data, int depth);
    void Indent(int depth);
    bool Fail(std::string const& problem);

    std::string mOut;
    std::string mError;
};

} // namespace tw::cf
