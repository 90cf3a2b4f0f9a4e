#pragma once

// What the link parser needs of the map view a link is read for: the size of its
// visible content, so that a link giving only the span of its view becomes the level
// that shows that span whole, and its current level, which a link without any zoom
// keeps. The document window's map view implements it (model never includes it).

#include "platform/Platform.h"

class IMapLinkView {
public:
    virtual ~IMapLinkView() = default;

    virtual unsigned long GetMapZoom() const = 0; // 0 to 17
    virtual CGSize GetMapViewSize() const = 0; // [px] of the visible content
};
