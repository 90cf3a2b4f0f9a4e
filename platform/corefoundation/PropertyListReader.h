#pragma once

// Reads an XML property list into a fresh object tree, strictly: any problem gives
// null and a message with its line, never a partial object. Nesting is bounded so
// that hostile input cannot exhaust the stack.

#include "corefoundation/CFPropertyList.h"
#include "corefoundation/XMLDocument.h"

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tw::cf {

class PropertyListReader {
public:
    static constexpr int kMaximumDepth = 512;

    explicit PropertyListReader(CFOptionFlags mutability);
    ~PropertyListReader();
    PropertyListReader(PropertyListReader const&) = delete;
    PropertyListReader& operator=(PropertyListReader const&) = delete;

    CFPropertyListRef Read(UInt8 const* bytes, std::size_t length); // +1, or null
    CFPropertyListRef Read(std::string text); // the same, parsing the text where it lies
    // The array under the key in the root dictionary is handed over element by element (see
    // StreamedArray).
    void StreamArray(StreamedArray streamed);
    std::string const& Error() const { return mXML.Error().empty() ? mError : mXML.Error(); }

private:
    // A reader of one part of a streamed array: the parent's text, tables of its own.
    struct PartOf {
        PropertyListReader const& parent;
    };
    explicit PropertyListReader(PartOf part);
    bool ReadElements(std::vector<pugi::xml_node> const& elements, std::size_t begin, std::size_t end, int depth);

    CFTypeRef ReadValue(pugi::xml_node element, int depth);
    CFTypeRef ReadArray(pugi::xml_node element, int depth);
    CFTypeRef ReadStreamedArray(pugi::xml_node element, int depth);
    CFTypeRef ReadDictionary(pugi::xml_node element, int depth);
    CFTypeRef ReadString(pugi::xml_node element);
    CFTypeRef ReadInteger(pugi::xml_node element);
    CFTypeRef ReadReal(pugi::xml_node element);
    CFTypeRef ReadDate(pugi::xml_node element);
    CFTypeRef ReadData(pugi::xml_node element);
    CFTypeRef ReadBoolean(pugi::xml_node element, bool value);

    // The element's text (references resolved); false when it holds elements.
    bool TextOf(pugi::xml_node element, std::string& text);
    static bool PlainText(pugi::xml_node element, std::string_view& text);
    bool TextIn(pugi::xml_node element, std::string& decoded, std::string_view& text);
    // The element's child elements; false when it holds text other than whitespace.
    bool ElementsOf(pugi::xml_node element, std::vector<pugi::xml_node>& children);
    CFTypeRef Fail(pugi::xml_node node, std::string const& problem, std::size_t at = 0);
    bool Decode(std::string_view raw, pugi::xml_node node, std::string& out);
    CFTypeRef ReadRoot();
    String const* KeyString(std::string_view text); // held by the reader
    std::vector<pugi::xml_node>& ChildrenAt(int depth); // stays where it is while the reader lives

    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view> {}(text); }
    };
    std::unordered_map<std::string, String const*, KeyHash, std::equal_to<>> mKeys;
    CFTypeRef SharedNumber(CFNumberType type, void const* value); // a new reference
    std::unordered_map<UInt64, CFTypeRef> mNumbers[2]; // integers, reals; by their bits
    std::deque<std::vector<pugi::xml_node>> mChildren; // by depth; a deque, so that none moves

    StreamedArray mStreamed;
    XMLDocument mXML; // unused in a part's reader
    XMLDocument const* mDocument = &mXML; // the text read: this reader's own, or its parent's
    std::string mError; // the first problem in reading the parsed text
    bool mMutableContainers;
    bool mMutableLeaves;
};

} // namespace tw::cf
