#pragma once

#include "toolbox/HIToolboxTypes.h"

#include <map>
#include <vector>

namespace tw::toolbox {

// One drag: its items in order, each with its flavours (type to bytes), and where
// the mouse is. Made for drops from other programs; freed by DisposeDrag.
class Drag {
public:
    struct Item {
        UInt32 reference = 0;
        std::vector<std::pair<OSType, std::vector<UInt8>>> flavors; // in the order added
    };

    Item* FindItem(UInt32 reference);
    Item& AddItem(UInt32 reference);
    std::vector<Item> const& Items() const { return mItems; }

    CGPoint mMouse {}; // [px] global

    // Whether the pointer is a drag that has not been disposed.
    static Drag* Live(DragRef ref);
    static void Register(Drag* drag);
    static void Unregister(Drag* drag);

private:
    std::vector<Item> mItems;
};

} // namespace tw::toolbox
