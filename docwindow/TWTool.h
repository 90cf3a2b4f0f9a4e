#pragma once

#include "platform/Platform.h"

// The map tools of a document window, by code. Stored in documents and sent in
// commands: never renumber.
enum TWTool : UInt32 {
    kToolCircle = 0,
    kToolCrop = 1,
    kToolHand = 2, // the default
    kToolLine = 3,
    kToolNote = 4,
    kToolRectangle = 5,
    kToolRoute = 6,
    kToolRuler = 7,
    kToolWaypoint = 8,
    kToolZoom = 9,
};
