#include "docwindow/IPaletteDocument.h"

#include "docwindow/CWindowDocument.h"

// The application tells the palettes of document windows only.
IPaletteDocument* IPaletteDocument::FromMessage(void* parameter) { return static_cast<CWindowDocument*>(parameter); }
