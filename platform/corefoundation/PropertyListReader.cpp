#include "corefoundation/PropertyListReader.h"

#include "corefoundation/Base64.h"
#include "corefoundation/PropertyListValues.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <exception>
#include <memory>

namespace tw::cf {

namespace {

    std::string_view Trimmed(std::string_view text)
    {
        constexpr std::string_view kSpace = " \t\r\n";
        std::size_t const first = text.find_first_not_of(kSpace);
        if (first == std::string_view::npos)
            return {};
        return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
    }

    // A leading '+' is allowed in files but not by from_chars.
    std::string_view WithoutPlus(std::string_view text)
    {
        if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
            text.remove_prefix(1);
        return text;
    }

    // Text of 7-bit characters is kept as its bytes, unless it is to change.
    String* MakeString(std::string text, bool isMutable)
    {
        if (!isMutable && String::IsASCII(text))
            return String::CreateASCII(std::move(text));
        return new String(UTF8ToUTF16(text), isMutable);
    }

    std::string Quoted(std::string_view text)
    {
        constexpr std::size_t kShown = 40;
        if (text.size() <= kShown)
            return "\"" + std::string(text) + "\"";
        // Cut between characters: half a character would make the whole reason unreadable.
        std::size_t cut = kShown;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        return "\"" + std::string(text.substr(0, cut)) + "...\"";
    }

} // namespace

PropertyListReader::PropertyListReader(CFOptionFlags mutability)
    : mMutableContainers(
        mutability == kCFPropertyListMutableContainers || mutability == kCFPropertyListMutableContainersAndLeaves)
    , mMutableLeaves(mutability == kCFPropertyListMutableContainersAndLeaves)
{
}

// Text that is an element's only child is kept in the element, and white space only where
// it is all an element holds: a document of many small values makes half the nodes.
constexpr unsigned int kParseOptions = pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

PropertyListReader::PropertyListReader(PartOf part)
    : mStreamed { {}, {}, part.parent.mStreamed.take, {}, 1 }
    , mDocument(part.parent.mDocument)
    , mMutableContainers(part.parent.mMutableContainers)
    , mMutableLeaves(part.parent.mMutableLeaves)
{
}

void PropertyListReader::StreamArray(StreamedArray streamed) { mStreamed = std::move(streamed); }

CFPropertyListRef PropertyListReader::Read(UInt8 const* bytes, std::size_t length)
{
    return Read(std::string(reinterpret_cast<char const*>(bytes), length));
}

CFPropertyListRef PropertyListReader::Read(std::string text)
{
    mError.clear();
    if (!mXML.Load(std::move(text), kParseOptions))
        return nullptr;
    return ReadRoot();
}

CFTypeRef PropertyListReader::ReadRoot()
{
    pugi::xml_node const root = mXML.Root();
    if (std::string_view(root.name()) != "plist")
        return Fail(root, "the root element is <" + std::string(root.name()) + ">, not <plist>");
    std::vector<pugi::xml_node> values;
    if (!ElementsOf(root, values))
        return nullptr;
    if (values.size() != 1)
        return Fail(root, "<plist> must hold exactly one value, not " + std::to_string(values.size()));
    return ReadValue(values[0], 1);
}

CFTypeRef PropertyListReader::ReadValue(pugi::xml_node element, int depth)
{
    if (depth > kMaximumDepth)
        return Fail(element, "nesting deeper than " + std::to_string(kMaximumDepth) + " levels");
    std::string_view const name = element.name();
    if (name == "dict")
        return ReadDictionary(element, depth);
    if (name == "array")
        return ReadArray(element, depth);
    if (name == "string")
        return ReadString(element);
    if (name == "integer")
        return ReadInteger(element);
    if (name == "real")
        return ReadReal(element);
    if (name == "date")
        return ReadDate(element);
    if (name == "data")
        return ReadData(element);
    if (name == "true" || name == "false")
        return ReadBoolean(element, name == "true");
    if (name == "key")
        return Fail(element, "a <key> outside a dictionary or without a value");
    return Fail(element, "unknown element <" + std::string(name) + ">");
}

CFTypeRef PropertyListReader::ReadArray(pugi::xml_node element, int depth)
{
    std::vector<pugi::xml_node>& children = ChildrenAt(depth);
    if (!ElementsOf(element, children))
        return nullptr;
    std::vector<void const*> values;
    ReleaseList const release(values);
    for (pugi::xml_node child : children) {
        CFTypeRef const value = ReadValue(child, depth + 1);
        if (!value)
            return nullptr;
        values.push_back(value);
    }
    return AdoptIntoArray(values, mMutableContainers);
}

CFTypeRef PropertyListReader::ReadStreamedArray(pugi::xml_node element, int depth)
{
    if (std::string_view(element.name()) != "array")
        return ReadValue(element, depth); // not a list after all: kept as it is
    std::vector<pugi::xml_node>& children = ChildrenAt(depth);
    if (!ElementsOf(element, children))
        return nullptr;
    if (mStreamed.begin)
        mStreamed.begin(children.size());
    // A long list is read in parts at once, each by a reader of its own. The first part that
    // failed has the first problem in the file.
    constexpr std::size_t kElementsPerPart = 1024;
    std::size_t const parts = mStreamed.runParts ? std::min(mStreamed.mostParts, children.size() / kElementsPerPart) : 1;
    if (parts <= 1) {
        if (!ReadElements(children, 0, children.size(), depth))
            return nullptr;
    } else {
        std::vector<std::unique_ptr<PropertyListReader>> readers;
        for (std::size_t part = 0; part < parts; ++part)
            readers.push_back(std::unique_ptr<PropertyListReader>(new PropertyListReader(PartOf { *this })));
        std::vector<char> read(parts, false);
        std::vector<std::exception_ptr> thrown(parts);
        std::size_t const count = children.size();
        mStreamed.runParts(parts, [&](std::size_t part) {
            try {
                read[part] = readers[part]->ReadElements(children, count * part / parts, count * (part + 1) / parts, depth);
            } catch (...) {
                thrown[part] = std::current_exception(); // running out of memory, which the caller answers
            }
        });
        for (std::size_t part = 0; part < parts; ++part) {
            if (thrown[part])
                std::rethrow_exception(thrown[part]);
            if (!read[part]) {
                mError = readers[part]->mError;
                return nullptr;
            }
        }
    }
    std::vector<void const*> none;
    return AdoptIntoArray(none, mMutableContainers);
}

bool PropertyListReader::ReadElements(
    std::vector<pugi::xml_node> const& elements, std::size_t begin, std::size_t end, int depth)
{
    auto const release = [](void const* value) { CFRelease(static_cast<CFTypeRef>(value)); };
    for (std::size_t i = begin; i < end; ++i) {
        std::unique_ptr<void const, decltype(release)> const value(ReadValue(elements[i], depth + 1), release);
        if (!value)
            return false;
        mStreamed.take(i, static_cast<CFTypeRef>(value.get()));
    }
    return true;
}

CFTypeRef PropertyListReader::ReadDictionary(pugi::xml_node element, int depth)
{
    std::vector<pugi::xml_node>& children = ChildrenAt(depth);
    if (!ElementsOf(element, children))
        return nullptr;
    // Filled as it is read, taking over each key and value: its own index finds a key twice.
    auto const release = [](Dictionary* made) { CFRelease(made); };
    std::unique_ptr<Dictionary, decltype(release)> dictionary(
        new Dictionary(&kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks, mMutableContainers), release);
    dictionary->Reserve((children.size() + 1) / 2);
    std::string decoded;
    for (std::size_t i = 0; i < children.size(); i += 2) {
        if (std::string_view(children[i].name()) != "key")
            return Fail(children[i], "<" + std::string(children[i].name()) + "> where a <key> belongs");
        std::string_view key;
        if (!TextIn(children[i], decoded, key))
            return nullptr;
        if (i + 1 >= children.size() || std::string_view(children[i + 1].name()) == "key")
            return Fail(children[i], "the key " + Quoted(key) + " has no value");
        String const* const name = KeyString(key);
        if (dictionary->IndexOf(name) != kCFNotFound)
            return Fail(children[i], "the key " + Quoted(key) + " appears twice");
        bool const streamed = depth == 1 && mStreamed.take && key == mStreamed.key;
        CFTypeRef const value
            = streamed ? ReadStreamedArray(children[i + 1], depth + 1) : ReadValue(children[i + 1], depth + 1);
        if (!value)
            return nullptr;
        dictionary->Append(CFRetain(name), value);
    }
    return dictionary.release();
}

// Keys repeat from one dictionary to the next: each text is made once and shared, as it
// cannot change. Short string values share the table.
String const* PropertyListReader::KeyString(std::string_view text)
{
    if (auto const found = mKeys.find(text); found != mKeys.end())
        return found->second;
    return mKeys.emplace(text, MakeString(std::string(text), false)).first->second;
}

// Numbers cannot change, and the same few recur (widths, flags, zeros): each made once, up to
// a bound. Kept by their bits, so that -0.0 and 0.0 stay apart.
CFTypeRef PropertyListReader::SharedNumber(CFNumberType type, void const* value)
{
    constexpr std::size_t kSharedNumbers = 4096;
    UInt64 bits;
    std::memcpy(&bits, value, sizeof bits);
    auto& numbers = mNumbers[type == kCFNumberFloat64Type ? 1 : 0];
    if (auto const found = numbers.find(bits); found != numbers.end())
        return CFRetain(found->second);
    CFTypeRef const number = CFNumberCreate(nullptr, type, value);
    if (number && numbers.size() < kSharedNumbers)
        numbers.emplace(bits, CFRetain(number));
    return number;
}

PropertyListReader::~PropertyListReader()
{
    for (auto const& [text, key] : mKeys)
        CFRelease(key);
    for (auto const& numbers : mNumbers) {
        for (auto const& [bits, number] : numbers)
            CFRelease(number);
    }
}

CFTypeRef PropertyListReader::ReadString(pugi::xml_node element)
{
    if (std::string_view plain; PlainText(element, plain)) {
        // Short values repeat too (symbols, styles, colours): shared with the keys when they
        // cannot change, up to a bound, so that a file of unique names keeps no table of them.
        constexpr std::size_t kSharedLength = 48;
        constexpr std::size_t kSharedTexts = 4096;
        if (!mMutableLeaves && plain.size() <= kSharedLength) {
            if (auto const found = mKeys.find(plain); found != mKeys.end())
                return CFRetain(found->second);
            if (mKeys.size() < kSharedTexts)
                return CFRetain(KeyString(plain));
        }
        return MakeString(std::string(plain), mMutableLeaves);
    }
    std::string text;
    if (!TextOf(element, text))
        return nullptr;
    return MakeString(std::move(text), mMutableLeaves);
}

CFTypeRef PropertyListReader::ReadInteger(pugi::xml_node element)
{
    std::string decoded;
    std::string_view raw;
    if (!TextIn(element, decoded, raw))
        return nullptr;
    std::string_view const text = WithoutPlus(Trimmed(raw));
    SInt64 value = 0;
    auto const [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return Fail(element, "the integer " + Quoted(text) + " is out of range");
    if (ec != std::errc() || end != text.data() + text.size())
        return Fail(element, "not an integer: " + Quoted(text));
    return SharedNumber(kCFNumberSInt64Type, &value);
}

CFTypeRef PropertyListReader::ReadReal(pugi::xml_node element)
{
    std::string decoded;
    std::string_view raw;
    if (!TextIn(element, decoded, raw))
        return nullptr;
    std::string_view const text = WithoutPlus(Trimmed(raw));
    double value = 0;
    auto const [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range)
        return Fail(element, "the real " + Quoted(text) + " is out of range");
    if (ec != std::errc() || end != text.data() + text.size())
        return Fail(element, "not a real number: " + Quoted(text));
    return SharedNumber(kCFNumberFloat64Type, &value);
}

CFTypeRef PropertyListReader::ReadDate(pugi::xml_node element)
{
    std::string raw;
    if (!TextOf(element, raw))
        return nullptr;
    std::optional<double> const time = ParseISODate(Trimmed(raw));
    if (!time)
        return Fail(element, "not a date of the form 2001-01-01T00:00:00Z: " + Quoted(Trimmed(raw)));
    return CFDateCreate(nullptr, *time);
}

CFTypeRef PropertyListReader::ReadData(pugi::xml_node element)
{
    std::string text;
    if (!TextOf(element, text))
        return nullptr;
    auto const bytes = DecodeBase64(text);
    if (!bytes)
        return Fail(element, "the <data> is not valid base64");
    return new Data(bytes->data(), CFIndex(bytes->size()), mMutableLeaves);
}

CFTypeRef PropertyListReader::ReadBoolean(pugi::xml_node element, bool value)
{
    std::string text;
    if (!TextOf(element, text))
        return nullptr;
    if (!Trimmed(text).empty())
        return Fail(element, "<" + std::string(element.name()) + "> must be empty");
    return CFRetain(value ? kCFBooleanTrue : kCFBooleanFalse);
}

// Most values are plain text and nothing else: seen where they lie, in one pass.
bool PropertyListReader::PlainText(pugi::xml_node element, std::string_view& text)
{
    if (element.first_child())
        return false;
    char const* const start = element.value();
    std::size_t const length = std::strcspn(start, "&<");
    if (start[length])
        return false;
    text = std::string_view(start, length);
    return true;
}

// The text where it lies when it is plain, else decoded into `decoded`.
bool PropertyListReader::TextIn(pugi::xml_node element, std::string& decoded, std::string_view& text)
{
    if (PlainText(element, text))
        return true;
    if (!TextOf(element, decoded))
        return false;
    text = decoded;
    return true;
}

bool PropertyListReader::TextOf(pugi::xml_node element, std::string& text)
{
    if (std::string_view plain; PlainText(element, plain)) {
        text.assign(plain);
        return true;
    }
    text.clear();
    // Text that is all the element holds is its value, and is most of what a file holds:
    // decoded straight into the result.
    if (*element.value() && !Decode(element.value(), element, text))
        return false;
    std::string piece;
    for (pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_element) {
            Fail(child, "<" + std::string(child.name()) + "> inside <" + element.name() + ">");
            return false;
        }
        if (child.type() == pugi::node_cdata) {
            text += child.value();
        } else if (child.type() == pugi::node_pcdata) {
            if (!Decode(child.value(), child, piece))
                return false;
            text += piece;
        }
    }
    return true;
}

// One list for each level, kept from one container to the next: a file of many small
// dictionaries makes none of its own for each.
std::vector<pugi::xml_node>& PropertyListReader::ChildrenAt(int depth)
{
    while (mChildren.size() <= std::size_t(depth))
        mChildren.emplace_back();
    return mChildren[std::size_t(depth)];
}

bool PropertyListReader::ElementsOf(pugi::xml_node element, std::vector<pugi::xml_node>& children)
{
    children.clear();
    if (std::string_view const text = element.value(); !Trimmed(text).empty()) {
        Fail(element, "text " + Quoted(Trimmed(text)) + " inside <" + element.name() + ">",
            text.find_first_not_of(" \t\r\n"));
        return false;
    }
    for (pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_element) {
            children.push_back(child);
        } else if ((child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            && !Trimmed(child.value()).empty()) {
            std::string_view const text = child.value();
            Fail(child, "text " + Quoted(Trimmed(text)) + " inside <" + element.name() + ">",
                text.find_first_not_of(" \t\r\n"));
            return false;
        }
    }
    return true;
}

CFTypeRef PropertyListReader::Fail(pugi::xml_node node, std::string const& problem, std::size_t at)
{
    if (mError.empty())
        mError = mDocument->Describe(node, problem, at);
    return nullptr;
}

bool PropertyListReader::Decode(std::string_view raw, pugi::xml_node node, std::string& out)
{
    std::string error;
    if (mDocument->Decode(raw, node, out, error))
        return true;
    if (mError.empty())
        mError = std::move(error);
    return false;
}

} // namespace tw::cf
