#pragma once

#include "foundation/CMemBuffer.h"
#include "services/Scrap.h"

#include <map>

// Keeps the clipboard's promises: a flavour put on the scrap as a promise is
// made real, when someone asks for it, by the provider registered for it.
class CClipboard {
public:
    // Fills the buffer with the flavour's bytes; false when it cannot.
    using Provider = bool (*)(CMemBuffer& buffer, ScrapFlavorType flavour, void* data);

    explicit CClipboard(ScrapRef scrap);

    void SetProvider(ScrapFlavorType flavour, Provider provider, void* data);
    // Puts the promised flavour on the scrap: noTypeErr without a provider or when it fails.
    OSStatus KeepPromise(ScrapFlavorType flavour);

    // The promise keeper shared by the program: the user data is the clipboard.
    static OSStatus PromiseKeeper(ScrapRef scrap, ScrapFlavorType flavour, void* clipboard);

private:
    struct Entry {
        Provider provider;
        void* data; // borrowed
    };

    ScrapRef mScrap; // borrowed: the scrap lives as long as the process
    std::map<ScrapFlavorType, Entry> mProviders;
};
