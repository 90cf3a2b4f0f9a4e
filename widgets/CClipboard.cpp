#include "widgets/CClipboard.h"

CClipboard::CClipboard(ScrapRef scrap)
    : mScrap(scrap)
{
}

void CClipboard::SetProvider(ScrapFlavorType flavour, Provider provider, void* data)
{
    mProviders[flavour] = { provider, data };
}

OSStatus CClipboard::KeepPromise(ScrapFlavorType flavour)
{
    auto const it = mProviders.find(flavour);
    if (it == mProviders.end() || !it->second.provider)
        return noTypeErr;
    CMemBuffer buffer;
    if (!it->second.provider(buffer, flavour, it->second.data))
        return noTypeErr;
    return PutScrapFlavor(
        mScrap, flavour, kScrapFlavorMaskNone, static_cast<Size>(buffer.GetBufferSize()), buffer.GetBufferData());
}

OSStatus CClipboard::PromiseKeeper(ScrapRef, ScrapFlavorType flavour, void* clipboard)
{
    return clipboard ? static_cast<CClipboard*>(clipboard)->KeepPromise(flavour) : OSStatus { noTypeErr };
}
