#include "docwindow/IPaletteDocument.h"

IPaletteDocument* IPaletteDocument::FromMessage(void* parameter) { return static_cast<IPaletteDocument*>(parameter); }
