#include "corefoundation/PropertyListWriter.h"

#include "corefoundation/Base64.h"
#include "corefoundation/PropertyListValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tw::cf {

namespace {

    constexpr char kHeader[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                               "<plist version=\"1.0\">\n";
    constexpr std::size_t kBase64LineLength = 68;

    // Escapes the text for XML. A character XML 1.0 cannot carry (C0 controls other than tab,
    // LF and CR; U+FFFE, U+FFFF; lone surrogates) becomes U+FFFD, so that any text can be
    // written and the place where something was left out still shows.
    void EscapeForXML(std::u16string const& text, std::u16string& escaped)
    {
        escaped.clear();
        for (std::size_t i = 0; i < text.size(); ++i) {
            char16_t const c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                escaped += c;
                escaped += text[++i];
            } else if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || (c >= 0xD800 && c <= 0xDFFF)
                || c == 0xFFFE || c == 0xFFFF) {
                escaped += u'\uFFFD';
            } else if (c == u'&') {
                escaped += u"&amp;";
            } else if (c == u'<') {
                escaped += u"&lt;";
            } else if (c == u'>') {
                escaped += u"&gt;";
            } else if (c == u'\r') {
                escaped += u"&#13;"; // a raw CR would read back as LF
            } else {
                escaped += c;
            }
        }
    }

} // namespace

CFDataRef PropertyListWriter::Write(CFPropertyListRef plist)
{
    mSink = nullptr;
    mOut = kHeader;
    mError.clear();
    if (!Append(plist, 0))
        return nullptr;
    mOut += "</plist>\n";
    return CFDataCreate(nullptr, reinterpret_cast<UInt8 const*>(mOut.data()), CFIndex(mOut.size()));
}

bool PropertyListWriter::Write(CFPropertyListRef plist, Sink const& sink)
{
    mSink = &sink;
    mOut = kHeader;
    mOut.reserve(kPieceSize + kPieceSize / 4);
    mError.clear();
    bool const written = Append(plist, 0) && (mOut += "</plist>\n", Flush(true));
    mSink = nullptr;
    mOut = std::string();
    return written;
}

// Hands the text made so far to the sink once there is a piece's worth of it.
bool PropertyListWriter::Flush(bool always)
{
    if (!mSink || (!always && mOut.size() < kPieceSize))
        return true;
    if (!(*mSink)(mOut))
        return Fail("the text could not be written");
    mOut.clear();
    return true;
}

bool PropertyListWriter::Append(CFTypeRef value, int depth)
{
    if (!value)
        return Fail("a null value");
    if (depth > kMaximumDepth)
        return Fail("containers nested deeper than " + std::to_string(kMaximumDepth) + " levels");
    switch (value->TypeID()) {
    case kTWTypeIDDictionary:
        return AppendDictionary(static_cast<Dictionary const&>(*value), depth);
    case kTWTypeIDArray:
        return AppendArray(static_cast<Array const&>(*value), depth);
    case kTWTypeIDString:
        return AppendText("string", static_cast<String const&>(*value), depth);
    case kTWTypeIDNumber:
        return AppendNumber(static_cast<Number const&>(*value), depth);
    case kTWTypeIDDate:
        return AppendDate(static_cast<Date const&>(*value), depth);
    case kTWTypeIDData:
        AppendData(static_cast<Data const&>(*value), depth);
        return true;
    case kTWTypeIDBoolean:
        Indent(depth);
        mOut += static_cast<BooleanValue const&>(*value).value ? "<true/>\n" : "<false/>\n";
        return true;
    default:
        return Fail("an object of type " + std::to_string(value->TypeID()) + ", which is no property-list type");
    }
}

void PropertyListWriter::SetStreamedArray(CFArrayRef streamed, std::function<CFTypeRef()> next)
{
    mStreamed = streamed;
    mNext = std::move(next);
}

bool PropertyListWriter::AppendStreamedArray(int depth)
{
    CFTypeRef value = mNext();
    Indent(depth);
    if (!value) {
        mOut += "<array/>\n";
        return true;
    }
    mOut += "<array>\n";
    while (value) {
        bool const appended = Append(value, depth + 1) && Flush(false);
        CFRelease(value);
        if (!appended)
            return false;
        value = mNext();
    }
    Indent(depth);
    mOut += "</array>\n";
    return true;
}

bool PropertyListWriter::AppendArray(Array const& array, int depth)
{
    if (&array == mStreamed && mNext)
        return AppendStreamedArray(depth);
    Indent(depth);
    if (array.values.empty()) {
        mOut += "<array/>\n";
        return true;
    }
    mOut += "<array>\n";
    for (void const* value : array.values) {
        if (!Append(static_cast<CFTypeRef>(value), depth + 1) || !Flush(false))
            return false;
    }
    Indent(depth);
    mOut += "</array>\n";
    return true;
}

bool PropertyListWriter::AppendDictionary(Dictionary const& dictionary, int depth)
{
    std::vector<std::pair<String const*, CFTypeRef>> entries;
    for (auto const& [key, value] : dictionary.entries) {
        auto const* object = static_cast<CFTypeRef>(key);
        if (!object || object->TypeID() != kTWTypeIDString)
            return Fail("a dictionary key that is not a string");
        entries.emplace_back(static_cast<String const*>(object), static_cast<CFTypeRef>(value));
    }
    std::sort(
        entries.begin(), entries.end(), [](auto const& a, auto const& b) { return a.first->Text() < b.first->Text(); });
    Indent(depth);
    if (entries.empty()) {
        mOut += "<dict/>\n";
        return true;
    }
    mOut += "<dict>\n";
    for (auto const& [key, value] : entries) {
        if (!AppendText("key", *key, depth + 1) || !Append(value, depth + 1) || !Flush(false))
            return false;
    }
    Indent(depth);
    mOut += "</dict>\n";
    return true;
}

bool PropertyListWriter::AppendText(char const* tag, String const& text, int depth)
{
    if (std::string const* ascii = text.ASCII()) {
        Indent(depth);
        mOut += std::string("<") + tag + ">";
        if (!AppendASCII(*ascii))
            return false;
        mOut += std::string("</") + tag + ">\n";
        return true;
    }
    std::u16string escaped;
    EscapeForXML(text.Text(), escaped);
    Indent(depth);
    mOut += std::string("<") + tag + ">" + UTF16ToUTF8(escaped) + "</" + tag + ">\n";
    return true;
}

bool PropertyListWriter::AppendNumber(Number const& number, int depth)
{
    char text[64];
    std::size_t length = 0;
    if (!number.isFloat) {
        length = std::size_t(std::to_chars(text, text + sizeof text, number.integer).ptr - text);
    } else if (std::isnan(number.real)) {
        length = std::size_t(std::snprintf(text, sizeof text, "nan"));
    } else if (std::isinf(number.real)) {
        length = std::size_t(std::snprintf(text, sizeof text, number.real < 0 ? "-inf" : "inf"));
    } else {
        // The shortest form that reads back to exactly the same double.
        length = std::size_t(std::to_chars(text, text + sizeof text, number.real).ptr - text);
    }
    Indent(depth);
    mOut += number.isFloat ? "<real>" : "<integer>";
    mOut.append(text, length);
    mOut += number.isFloat ? "</real>\n" : "</integer>\n";
    return true;
}

bool PropertyListWriter::AppendDate(Date const& date, int depth)
{
    std::optional<std::string> const text = FormatISODate(date.time);
    if (!text)
        return Fail("a date outside the years 1 to 9999");
    Indent(depth);
    mOut += "<date>" + *text + "</date>\n";
    return true;
}

void PropertyListWriter::AppendData(Data const& data, int depth)
{
    Indent(depth);
    if (data.bytes.empty()) {
        mOut += "<data></data>\n";
        return;
    }
    mOut += "<data>\n";
    std::string const indent(std::size_t(depth), '\t');
    mOut += EncodeBase64(data.bytes.data(), data.bytes.size(), kBase64LineLength, indent);
    mOut += indent + "</data>\n";
}

// Text kept as 7-bit bytes is escaped straight into the output, a piece at a time.
bool PropertyListWriter::AppendASCII(std::string const& text)
{
    constexpr std::size_t kBlock = 1 << 16; // at most five times as long escaped
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t const end = std::min(text.size(), i + kBlock);
        for (; i < end; ++i) {
            char const c = text[i];
            if (c >= 0x20 && c != '&' && c != '<' && c != '>') {
                mOut += c;
            } else if (c == '&') {
                mOut += "&amp;";
            } else if (c == '<') {
                mOut += "&lt;";
            } else if (c == '>') {
                mOut += "&gt;";
            } else if (c == '\r') {
                mOut += "&#13;"; // a raw CR would read back as LF
            } else if (c == '\t' || c == '\n') {
                mOut += c;
            } else {
                return Fail("text with a character XML cannot carry");
            }
        }
        if (!Flush(false))
            return false;
    }
    return true;
}

void PropertyListWriter::Indent(int depth) { mOut.append(std::size_t(depth), '\t'); }

bool PropertyListWriter::Fail(std::string const& problem)
{
    mError = problem;
    return false;
}

} // namespace tw::cf
