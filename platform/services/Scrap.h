#pragma once

// Scrap Manager: the clipboard as flavours of bytes. The store is kept here in
// memory; a presenter with a desktop clipboard mirrors it through the observer.
// Main thread only.

#include "corefoundation/MacTypes.h"

#include <functional>

namespace tw::services {
class Scrap;
}

using ScrapRef = tw::services::Scrap*;
using ScrapFlavorType = FourCharCode;
using ScrapFlavorFlags = UInt32;

enum : ScrapFlavorType {
    kScrapFlavorTypeText = 'TEXT', // in the process's default text encoding (UTF-8)
    kScrapFlavorTypeUnicode = 'utxt', // UTF-16 in host order
};

enum : ScrapFlavorFlags {
    kScrapFlavorMaskNone = 0,
};

inline constexpr OSStatus noScrapErr = -100;
inline constexpr OSStatus noTypeErr = -102;

OSStatus GetCurrentScrap(ScrapRef* scrap);
OSStatus ClearCurrentScrap();
// noTypeErr when the flavour is not on the scrap.
OSStatus GetScrapFlavorSize(ScrapRef scrap, ScrapFlavorType flavorType, Size* byteCount);
// Copies at most *byteCount bytes and stores the number copied.
OSStatus GetScrapFlavorData(ScrapRef scrap, ScrapFlavorType flavorType, Size* byteCount, void* destination);
OSStatus PutScrapFlavor(
    ScrapRef scrap, ScrapFlavorType flavorType, ScrapFlavorFlags flags, Size flavorSize, void const* flavorData);

namespace tw::services {

// Called after every change of the scrap (the desktop clipboard's presenter listens).
void SetScrapObserver(std::function<void()> observer);
// Test only: empties the scrap and forgets the observer.
void ResetScrapForTesting();

} // namespace tw::services
