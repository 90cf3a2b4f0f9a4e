#pragma once

#include "services/AppleEvents.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace tw::services {

// The data behind one AEDesc: bytes for a plain value; keyed items for a list
// (keyword 0), a record, or an Apple event's parameters; and, for an Apple
// event, its attributes. Owns the AEDescs it holds.
class Descriptor {
public:
    using Item = std::pair<AEKeyword, AEDesc>;

    Descriptor() = default;
    Descriptor(Descriptor const&) = delete;
    Descriptor& operator=(Descriptor const&) = delete;
    ~Descriptor();

    Descriptor* Clone() const;

    std::vector<std::byte> mBytes;
    std::vector<Item> mItems;
    std::vector<Item> mAttributes;
};

// Deep copy; typeNull copies to typeNull.
OSErr CopyDesc(AEDesc const& from, AEDesc& to);
bool IsList(AEDesc const* desc);
bool HasKeys(AEDesc const* desc); // a record or an Apple event
bool IsAppleEvent(AEDesc const* desc);
// Whether data stored as `stored` may be read as `desired`.
bool TypeFits(DescType stored, DescType desired);
// Copies a plain descriptor's bytes out, at most maximumSize of them.
OSErr ReadBytes(
    AEDesc const& desc, DescType desiredType, DescType* typeCode, void* dataPtr, Size maximumSize, Size* actualSize);
// The item with this keyword, or null.
AEDesc const* FindKey(std::vector<Descriptor::Item> const& items, AEKeyword keyword);
// Sets or replaces a keyed item, taking ownership of desc.
void PutKey(std::vector<Descriptor::Item>& items, AEKeyword keyword, AEDesc desc);

} // namespace tw::services
