#include "toolbox/Drag.h"

#include "toolbox/DragCalls.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace tw::toolbox {

namespace {

    std::unordered_set<Drag const*>& LiveDrags()
    {
        static std::unordered_set<Drag const*> live;
        return live;
    }

    Drag::Item* ItemOf(DragRef drag, DragItemRef item)
    {
        Drag* live = Drag::Live(drag);
        return live ? live->FindItem(item) : nullptr;
    }

    std::vector<UInt8> const* FlavorOf(DragRef drag, DragItemRef item, FlavorType type)
    {
        Drag::Item* found = ItemOf(drag, item);
        if (!found)
            return nullptr;
        auto const flavor = std::find_if(
            found->flavors.begin(), found->flavors.end(), [type](auto const& entry) { return entry.first == type; });
        return flavor == found->flavors.end() ? nullptr : &flavor->second;
    }

} // namespace

Drag::Item* Drag::FindItem(UInt32 reference)
{
    auto const found = std::find_if(
        mItems.begin(), mItems.end(), [reference](Item const& item) { return item.reference == reference; });
    return found == mItems.end() ? nullptr : &*found;
}

Drag::Item& Drag::AddItem(UInt32 reference)
{
    if (Item* item = FindItem(reference))
        return *item;
    mItems.push_back({ reference, {} });
    return mItems.back();
}

Drag* Drag::Live(DragRef ref) { return ref && LiveDrags().contains(ref) ? ref : nullptr; }

void Drag::Register(Drag* drag) { LiveDrags().insert(drag); }

void Drag::Unregister(Drag* drag) { LiveDrags().erase(drag); }

} // namespace tw::toolbox

using tw::toolbox::Drag;

OSErr NewDrag(DragRef* outDrag)
{
    if (!outDrag)
        return paramErr;
    *outDrag = new Drag;
    Drag::Register(*outDrag);
    return noErr;
}

OSErr DisposeDrag(DragRef drag)
{
    Drag* live = Drag::Live(drag);
    if (!live)
        return badDragRefErr;
    Drag::Unregister(live);
    delete live;
    return noErr;
}

OSErr AddDragItemFlavor(DragRef drag, DragItemRef item, FlavorType type, void const* data, Size size, FlavorFlags)
{
    Drag* live = Drag::Live(drag);
    if (!live)
        return badDragRefErr;
    if (size < 0 || (size > 0 && !data))
        return paramErr;
    Drag::Item& entry = live->AddItem(item);
    for (auto const& flavor : entry.flavors)
        if (flavor.first == type)
            return duplicateFlavorErr;
    auto const* bytes = static_cast<UInt8 const*>(data);
    entry.flavors.emplace_back(type, std::vector<UInt8>(bytes, bytes + size));
    return noErr;
}

OSErr CountDragItems(DragRef drag, UInt16* outCount)
{
    Drag* live = Drag::Live(drag);
    if (!live || !outCount)
        return live ? OSErr(paramErr) : OSErr(badDragRefErr);
    *outCount = UInt16(std::min<std::size_t>(live->Items().size(), 0xFFFF));
    return noErr;
}

OSErr GetDragItemReferenceNumber(DragRef drag, UInt16 index, DragItemRef* outItem)
{
    Drag* live = Drag::Live(drag);
    if (!live || !outItem)
        return live ? OSErr(paramErr) : OSErr(badDragRefErr);
    if (index < 1 || index > live->Items().size())
        return badDragItemErr;
    *outItem = live->Items()[index - 1].reference;
    return noErr;
}

OSErr CountDragItemFlavors(DragRef drag, DragItemRef item, UInt16* outCount)
{
    Drag::Item* found = tw::toolbox::ItemOf(drag, item);
    if (!found || !outCount)
        return Drag::Live(drag) ? OSErr(badDragItemErr) : OSErr(badDragRefErr);
    *outCount = UInt16(found->flavors.size());
    return noErr;
}

OSErr GetFlavorType(DragRef drag, DragItemRef item, UInt16 index, FlavorType* outType)
{
    Drag::Item* found = tw::toolbox::ItemOf(drag, item);
    if (!found || !outType)
        return Drag::Live(drag) ? OSErr(badDragItemErr) : OSErr(badDragRefErr);
    if (index < 1 || index > found->flavors.size())
        return badDragFlavorErr;
    *outType = found->flavors[index - 1].first;
    return noErr;
}

OSErr GetFlavorDataSize(DragRef drag, DragItemRef item, FlavorType type, Size* outSize)
{
    std::vector<UInt8> const* bytes = tw::toolbox::FlavorOf(drag, item, type);
    if (!bytes || !outSize)
        return Drag::Live(drag) ? OSErr(badDragFlavorErr) : OSErr(badDragRefErr);
    *outSize = Size(bytes->size());
    return noErr;
}

OSErr GetFlavorData(DragRef drag, DragItemRef item, FlavorType type, void* data, Size* ioSize, UInt32 offset)
{
    std::vector<UInt8> const* bytes = tw::toolbox::FlavorOf(drag, item, type);
    if (!bytes)
        return Drag::Live(drag) ? OSErr(badDragFlavorErr) : OSErr(badDragRefErr);
    if (!ioSize || *ioSize < 0 || (*ioSize > 0 && !data))
        return paramErr;
    std::size_t const available = offset < bytes->size() ? bytes->size() - offset : 0;
    std::size_t const count = std::min<std::size_t>(available, std::size_t(*ioSize));
    if (count > 0)
        std::memcpy(data, bytes->data() + offset, count);
    *ioSize = Size(count);
    return noErr;
}

OSErr GetDragMouse(DragRef drag, Point* outMouse, Point* outGlobalPinnedMouse)
{
    Drag* live = Drag::Live(drag);
    if (!live)
        return badDragRefErr;
    Point const mouse { SInt16(live->mMouse.y), SInt16(live->mMouse.x) };
    if (outMouse)
        *outMouse = mouse;
    if (outGlobalPinnedMouse)
        *outGlobalPinnedMouse = mouse;
    return noErr;
}
