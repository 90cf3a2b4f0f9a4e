#pragma once

// Writes an object tree as an XML property list: the standard header and DOCTYPE,
// tab indentation, dictionary keys sorted. Characters of a text XML 1.0 cannot carry are
// written as U+FFFD. Refuses (null, with a reason) anything that is not a property-list
// type and over-deep or cyclic containers, so that it never writes a file no reader can load.

#include "corefoundation/CFPropertyList.h"

#include <functional>
#include <string>
#include <string_view>

namespace tw::cf {

class PropertyListWriter {
public:
    static constexpr int kMaximumDepth = 512;
    // Takes each piece of the text as it is made; false stops the writing.
    using Sink = std::function<bool(std::string_view piece)>;

    CFDataRef Write(CFPropertyListRef plist); // +1, or null
    // The text in pieces of about kPieceSize, so that a large list is never whole in
    // memory; false on a problem (Error() says which) or when the sink stops it.
    bool Write(CFPropertyListRef plist, Sink const& sink);
    // Where plist holds the array streamed, its elements are the ones next gives (+1 each,
    // released once written) until it gives null: a large array is never whole in memory.
    void SetStreamedArray(CFArrayRef streamed, std::function<CFTypeRef()> next);
    std::string const& Error() const { return mError; }

    static constexpr std::size_t kPieceSize = 1 << 20; // [bytes]

private:
    bool Append(CFTypeRef value, int depth);
    bool AppendArray(Array const& array, int depth);
    bool AppendStreamedArray(int depth);
    bool AppendDictionary(Dictionary const& dictionary, int depth);
    bool AppendText(char const* tag, String const& text, int depth);
    bool AppendNumber(Number const& number, int depth);
    bool AppendDate(Date const& date, int depth);
    void AppendData(Data const& data, int depth);
    bool AppendASCII(std::string const& text);
    void Indent(int depth);
    bool Flush(bool always);
    bool Fail(std::string const& problem);

    std::string mOut;
    std::string mError;
    Sink const* mSink = nullptr; // null while writing whole
    CFArrayRef mStreamed = nullptr;
    std::function<CFTypeRef()> mNext;
};

} // namespace tw::cf
