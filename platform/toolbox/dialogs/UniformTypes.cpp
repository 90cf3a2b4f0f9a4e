#include "toolbox/dialogs/UniformTypes.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

struct KnownType {
    char const* identifier;
    char const* parent;
    char const* extension;
    char const* osType;
};

constexpr KnownType kTypes[] = {
    { "public.item", "", "", "" },
    { "public.data", "public.item", "", "" },
    { "public.folder", "public.item", "", "fold" },
    { "public.text", "public.data", "", "" },
    { "public.plain-text", "public.text", "txt", "TEXT" },
    { "public.xml", "public.text", "xml", "" },
    { "com.topografix.gpx", "public.xml", "gpx", "" },
    { "com.groundspeak.loc", "public.xml", "loc", "" },
    { "com.tarnwick.document", "public.data", "twk", "TWck" },
    { "public.image", "public.data", "", "" },
    { "public.png", "public.image", "png", "PNGf" },
    { "public.jpeg", "public.image", "jpg", "JPEG" },
    { "com.adobe.pdf", "public.data", "pdf", "PDF " },
};

KnownType const* Find(std::string const& identifier)
{
    for (KnownType const& type : kTypes)
        if (identifier == type.identifier)
            return &type;
    return nullptr;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

CFStringRef UTTypeCreatePreferredIdentifierForTag(CFStringRef tagClass, CFStringRef tag, CFStringRef)
{
    if (!tagClass || !tag)
        return nullptr;
    bool const extension = CFStringCompare(tagClass, kUTTagClassFilenameExtension, 0) == kCFCompareEqualTo;
    std::string const value = extension ? Lower(tw::cf::ToUTF8(tag)) : tw::cf::ToUTF8(tag);
    for (KnownType const& type : kTypes) {
        char const* known = extension ? type.extension : type.osType;
        if (*known && value == known)
            return tw::cf::CreateString(type.identifier);
    }
    return tw::cf::CreateString((extension ? "dyn.extension." : "dyn.ostype.") + value);
}

Boolean UTTypeConformsTo(CFStringRef type, CFStringRef conformsTo)
{
    if (!type || !conformsTo)
        return false;
    std::string const target = Lower(tw::cf::ToUTF8(conformsTo));
    std::string current = Lower(tw::cf::ToUTF8(type));
    if (current.rfind("dyn.", 0) == 0)
        return current == target || target == "public.data" || target == "public.item";
    for (int depth = 0; depth < 8 && !current.empty(); ++depth) {
        if (current == target)
            return true;
        KnownType const* known = Find(current);
        current = known ? known->parent : "";
    }
    return false;
}
