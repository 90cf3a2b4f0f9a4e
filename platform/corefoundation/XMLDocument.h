#pragma once

// XML text parsed strictly on pugixml for the property-list reader and the XML
// tree: well-formed UTF-8 (or UTF-16 with a byte-order mark) only, exactly one root
// element, no entity declarations, and entity references resolved by us so that an
// unknown one is an error instead of text. Nothing is ever fetched or expanded.

#include <cstddef>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace tw::cf {

class XMLDocument {
public:
    // False on any problem; Error() then says what and on which line.
    bool Load(unsigned char const* bytes, std::size_t length, unsigned int extraOptions);
    // The same on text it takes over and parses where it lies: no copy of a large file.
    // IsEmptyTag is not known for text parsed so.
    bool Load(std::string text, unsigned int extraOptions);

    pugi::xml_node Root() const { return mDocument.document_element(); }
    std::string const& Error() const { return mError; }

    // Resolves the five named entities and character references; false (with
    // Error() set for node) on an unknown or malformed one.
    bool Decode(std::string_view raw, pugi::xml_node node, std::string& out);
    // The same, with the error in `error` instead: readers on several threads share one document.
    bool Decode(std::string_view raw, pugi::xml_node node, std::string& out, std::string& error) const;

    // Sets Error() to "Line N: problem" for the place of node, and returns false.
    // For a text node, at is the offset of the problem in its text.
    bool Fail(pugi::xml_node node, std::string const& problem, std::size_t at = 0);
    // That text alone.
    std::string Describe(pugi::xml_node node, std::string const& problem, std::size_t at = 0) const;

    // True when the element was written as <name/> rather than <name></name>.
    bool IsEmptyTag(pugi::xml_node element) const;

private:
    bool Prepare(unsigned char const* bytes, std::size_t length);
    bool Parse(unsigned int extraOptions);
    bool CheckCharacters();
    bool CheckTopLevel();
    bool FailAt(std::ptrdiff_t offset, std::string const& problem, int moreLines = 0);
    int LineAt(std::ptrdiff_t offset) const;

    std::string mText; // the UTF-8 text; pugixml's own copy, or parsed where it lies
    std::vector<std::size_t> mLineStarts; // the offsets in mText where lines after the first start
    std::string mParsedCopy; // what pugixml parsed when mText is kept as it was
    pugi::xml_document mDocument;
    std::string mError;
};

} // namespace tw::cf
