#include "services/ScrapBackend.h"

#include "corefoundation/CFString.h"
#include "services/Scrap.h"

#include <algorithm>

namespace tw::services {

namespace {

    ScrapBackend* sBackend = nullptr; // weak
    std::string sAgreed; // the text the scrap and the desktop last had in common
    std::string sPrimary; // without a backend

    std::string TextOf(ScrapFlavours const& flavours)
    {
        if (auto it = flavours.find(kScrapFlavorTypeUnicode); it != flavours.end()) {
            std::u16string utf16(it->second.size() / sizeof(char16_t), u'\0');
            std::copy_n(it->second.data(), utf16.size() * sizeof(char16_t), reinterpret_cast<UInt8*>(utf16.data()));
            return cf::UTF16ToUTF8(utf16);
        }
        if (auto it = flavours.find(kScrapFlavorTypeText); it != flavours.end())
            return std::string(it->second.begin(), it->second.end());
        return {};
    }

} // namespace

void SetScrapBackend(ScrapBackend* backend)
{
    sBackend = backend;
    sAgreed.clear();
}

ScrapBackend* GetScrapBackend() { return sBackend; }

void SetPrimarySelection(std::string const& text)
{
    if (text.empty())
        return;
    if (sBackend)
        sBackend->WritePrimary(text);
    else
        sPrimary = text;
}

void ResetPrimarySelectionForTesting() { sPrimary.clear(); }

bool CopyPrimarySelection(std::string* text)
{
    if (sBackend)
        return sBackend->ReadPrimary(text) && !text->empty();
    *text = sPrimary;
    return !sPrimary.empty();
}

void PullScrapFromBackend(ScrapFlavours& flavours)
{
    if (!sBackend)
        return;
    std::string text;
    if (!sBackend->ReadText(&text))
        text.clear();
    if (text == sAgreed)
        return;
    // Another program copied: its text replaces whatever we held.
    sAgreed = text;
    flavours.clear();
    if (text.empty())
        return;
    flavours[kScrapFlavorTypeText].assign(text.begin(), text.end());
    std::u16string const utf16 = cf::UTF8ToUTF16(text);
    auto const* bytes = reinterpret_cast<UInt8 const*>(utf16.data());
    flavours[kScrapFlavorTypeUnicode].assign(bytes, bytes + utf16.size() * sizeof(char16_t));
}

void PushScrapToBackend(ScrapFlavours const& flavours)
{
    if (!sBackend)
        return;
    std::string const text = TextOf(flavours);
    if (text == sAgreed)
        return;
    sAgreed = text;
    sBackend->WriteText(text);
}

} // namespace tw::services
