#pragma once

// The default drawing style of each kind of map object, kept by the application
// object: what new objects of a kind get, and what the inspector edits while a
// drawing tool is chosen. Main thread only.

#include "model/MapObjectTypes.h"

class IObjectStyles {
public:
    virtual ~IObjectStyles() = default;
    virtual MapObjectStyle GetObjectStyle(MapObjectType type) = 0;
    virtual void SetObjectStyle(MapObjectType type, MapObjectStyle const& style) = 0;
};
