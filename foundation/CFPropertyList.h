#pragma once

// A property list read from or written to an XML file. Loading parses into a
// fresh object and takes it only on success, so a damaged file changes nothing;
// saving replaces the file at once or not at all.

#include "foundation/CFDictionary.h"
#include "foundation/CFile.h"

#include <functional>

class CFPropertyList {
public:
    CFPropertyList() = default;
    CFPropertyList(CFPropertyList const&) = delete;
    CFPropertyList& operator=(CFPropertyList const&) = delete;
    ~CFPropertyList();

    // kNothingParseableErr for text that is no property list; the file's status when unreadable.
    // Any size is read (memFullErr only when memory runs out), and the text is held once.
    OSStatus Load(CFile const& file);
    // The same, with the array under the key in the root dictionary handed over as it is read
    // and left empty in the list, which is never held whole: begin hears how many elements it
    // has, then take gets each with its index (borrowed for the call). A long list is read in
    // parts at once, so take is called from several threads together. Elements may have been
    // handed over when the load then fails.
    using ArrayBegin = std::function<void(std::size_t count)>;
    using ArrayTake = std::function<void(std::size_t index, CFTypeRef element)>;
    OSStatus Load(CFile const& file, char const* streamedKey, ArrayBegin begin, ArrayTake take);
    // Written as it is made, never whole in memory. paramErr when there is nothing valid to write.
    OSStatus Save(CFile const& file) const;
    // The same, with the array streamed (held in the list, empty) written with the elements
    // next gives, one at a time (+1 each; null at the end, or when it fails: it then says why).
    using ElementSource = std::function<CFTypeRef(OSStatus& status)>;
    OSStatus Save(CFile const& file, CFArrayRef streamed, ElementSource const& next) const;

    bool IsValid() const { return mPropertyList != nullptr; }
    CFPropertyListRef GetPropertyList() const { return mPropertyList; } // borrowed
    CFDictionaryRef GetDictionary() const; // borrowed; null unless the root is a dictionary
    void SetPropertyList(CFPropertyListRef propertyList); // retains
    void SetPropertyList(CFDictionary const& dictionary);

private:
    CFPropertyListRef mPropertyList = nullptr; // retains
};
