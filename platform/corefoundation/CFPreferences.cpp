#include "corefoundation/CFPreferences.h"

#include "corefoundation/CFBundle.h"
#include "corefoundation/PreferenceDomain.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

CFStringRef const kCFPreferencesCurrentApplication = CFSTR("kCFPreferencesCurrentApplication");

namespace {

using tw::cf::PreferenceDomain;

constexpr char kFallbackApplicationID[] = "com.tarnwick.tarnwick";

// Never freed, so that nothing is released after the CF constants are gone at exit.
std::map<std::string, std::unique_ptr<PreferenceDomain>>& Domains()
{
    static auto* domains = new std::map<std::string, std::unique_ptr<PreferenceDomain>>;
    return *domains;
}

// The domain of an application id, or null for an id that cannot name a file in
// the configuration folder (empty, with a slash, or starting with a dot).
PreferenceDomain* DomainOf(CFStringRef applicationID)
{
    if (!applicationID)
        return nullptr;
    std::string id = applicationID->UTF8();
    if (CFEqual(applicationID, kCFPreferencesCurrentApplication)) {
        CFStringRef const bundleID = CFBundleGetIdentifier(CFBundleGetMainBundle());
        id = bundleID && !bundleID->Text().empty() ? bundleID->UTF8() : kFallbackApplicationID;
    }
    if (id.empty() || id[0] == '.' || id.find_first_of(std::string("/\0", 2)) != std::string::npos) {
        std::fprintf(stderr, "Tarnwick: \"%s\" is not a usable preferences id\n", id.c_str());
        return nullptr;
    }
    auto& domain = Domains()[id];
    if (!domain)
        domain = std::make_unique<PreferenceDomain>(id);
    return domain.get();
}

void (*sChangeHook)(void*) = nullptr;
void* sChangeContext = nullptr;

bool EqualsIgnoringCase(std::u16string const& text, std::u16string_view word)
{
    if (text.size() != word.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t const c = text[i] >= u'A' && text[i] <= u'Z' ? char16_t(text[i] + 32) : text[i];
        if (c != word[i])
            return false;
    }
    return true;
}

} // namespace

namespace tw::cf {

void SetPreferencesChangeHook(void (*hook)(void* context), void* context)
{
    sChangeHook = hook;
    sChangeContext = hook ? context : nullptr;
}

void ResetPreferencesForTesting() { Domains().clear(); }

} // namespace tw::cf

CFPropertyListRef CFPreferencesCopyAppValue(CFStringRef key, CFStringRef applicationID)
{
    PreferenceDomain* const domain = DomainOf(applicationID);
    return domain ? CFRetain(domain->Value(key)) : nullptr;
}

void CFPreferencesSetAppValue(CFStringRef key, CFPropertyListRef value, CFStringRef applicationID)
{
    PreferenceDomain* const domain = DomainOf(applicationID);
    if (domain && !domain->SetValue(key, value)) {
        std::fprintf(stderr, "Tarnwick: the preference \"%s\" was not set: no key, or not a property list\n",
            tw::cf::ToUTF8(key).c_str());
        return;
    }
    if (domain && sChangeHook)
        sChangeHook(sChangeContext);
}

Boolean CFPreferencesAppSynchronize(CFStringRef applicationID)
{
    PreferenceDomain* const domain = DomainOf(applicationID);
    return domain && domain->Synchronize();
}

Boolean CFPreferencesGetAppBooleanValue(CFStringRef key, CFStringRef applicationID, Boolean* keyExistsAndHasValidFormat)
{
    PreferenceDomain* const domain = DomainOf(applicationID);
    CFTypeRef const value = domain ? domain->Value(key) : nullptr;
    bool valid = true;
    bool result = false;
    switch (CFGetTypeID(value)) {
    case kTWTypeIDBoolean:
        result = static_cast<CFBooleanRef>(value)->value;
        break;
    case kTWTypeIDNumber: {
        auto const* number = static_cast<CFNumberRef>(value);
        result = number->isFloat ? number->real != 0 : number->integer != 0;
        break;
    }
    case kTWTypeIDString: {
        std::u16string const& text = static_cast<CFStringRef>(value)->Text();
        result = EqualsIgnoringCase(text, u"true") || EqualsIgnoringCase(text, u"yes");
        valid = result || EqualsIgnoringCase(text, u"false") || EqualsIgnoringCase(text, u"no");
        break;
    }
    default:
        valid = false;
    }
    if (keyExistsAndHasValidFormat)
        *keyExistsAndHasValidFormat = valid;
    return valid && result;
}

CFIndex CFPreferencesGetAppIntegerValue(CFStringRef key, CFStringRef applicationID, Boolean* keyExistsAndHasValidFormat)
{
    PreferenceDomain* const domain = DomainOf(applicationID);
    CFTypeRef const value = domain ? domain->Value(key) : nullptr;
    bool valid = false;
    CFIndex result = 0;
    if (CFGetTypeID(value) == kTWTypeIDNumber) {
        auto const* number = static_cast<CFNumberRef>(value);
        // Reals are cut toward zero; ones no integer can hold are invalid.
        valid = !number->isFloat || (std::isfinite(number->real) && std::fabs(number->real) < 9.2e18);
        result = valid ? (number->isFloat ? CFIndex(number->real) : CFIndex(number->integer)) : 0;
    } else if (CFGetTypeID(value) == kTWTypeIDBoolean) {
        valid = true;
        result = static_cast<CFBooleanRef>(value)->value ? 1 : 0;
    } else if (CFGetTypeID(value) == kTWTypeIDString) {
        std::string const text = static_cast<CFStringRef>(value)->UTF8();
        auto const [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
        valid = ec == std::errc() && end == text.data() + text.size();
        result = valid ? result : 0;
    }
    if (keyExistsAndHasValidFormat)
        *keyExistsAndHasValidFormat = valid;
    return result;
}

CFArrayRef CFPreferencesCopyKeyList(CFStringRef applicationID, CFStringRef userName, CFStringRef hostName)
{
    PreferenceDomain* const domain = DomainOf(applicationID);
    return domain ? domain->CopyKeys() : nullptr;
}
