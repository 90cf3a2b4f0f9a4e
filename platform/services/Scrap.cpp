#include "services/Scrap.h"

#include "services/ScrapBackend.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace tw::services {

class Scrap {
public:
    ScrapFlavours flavours;
};

} // namespace tw::services

namespace {

// Flavours above this size are refused rather than copied.
constexpr Size kMaxFlavourSize = Size(256) << 20;

tw::services::Scrap& CurrentScrap()
{
    static tw::services::Scrap scrap;
    return scrap;
}

std::function<void()>& Observer()
{
    static std::function<void()> observer;
    return observer;
}

void Changed()
{
    tw::services::PushScrapToBackend(CurrentScrap().flavours);
    if (auto const& observer = Observer())
        observer();
}

} // namespace

namespace tw::services {

void SetScrapObserver(std::function<void()> observer) { Observer() = std::move(observer); }

void ResetScrapForTesting()
{
    CurrentScrap().flavours.clear();
    Observer() = nullptr;
    ResetPrimarySelectionForTesting();
}

} // namespace tw::services

OSStatus GetCurrentScrap(ScrapRef* scrap)
{
    if (!scrap)
        return paramErr;
    tw::services::PullScrapFromBackend(CurrentScrap().flavours);
    *scrap = &CurrentScrap();
    return noErr;
}

OSStatus ClearCurrentScrap()
{
    CurrentScrap().flavours.clear();
    Changed();
    return noErr;
}

OSStatus GetScrapFlavorSize(ScrapRef scrap, ScrapFlavorType flavorType, Size* byteCount)
{
    if (!scrap || !byteCount)
        return paramErr;
    auto it = scrap->flavours.find(flavorType);
    if (it == scrap->flavours.end())
        return noTypeErr;
    *byteCount = Size(it->second.size());
    return noErr;
}

OSStatus GetScrapFlavorData(ScrapRef scrap, ScrapFlavorType flavorType, Size* byteCount, void* destination)
{
    if (!scrap || !byteCount || *byteCount < 0 || (!destination && *byteCount > 0))
        return paramErr;
    auto it = scrap->flavours.find(flavorType);
    if (it == scrap->flavours.end())
        return noTypeErr;
    Size n = std::min(*byteCount, Size(it->second.size()));
    if (n > 0)
        std::memcpy(destination, it->second.data(), n);
    *byteCount = n;
    return noErr;
}

OSStatus PutScrapFlavor(
    ScrapRef scrap, ScrapFlavorType flavorType, ScrapFlavorFlags, Size flavorSize, void const* flavorData)
{
    if (!scrap || flavorSize < 0 || flavorSize > kMaxFlavourSize || (!flavorData && flavorSize > 0))
        return paramErr;
    auto const* bytes = static_cast<UInt8 const*>(flavorData);
    scrap->flavours[flavorType].assign(bytes, bytes + flavorSize);
    Changed();
    return noErr;
}
