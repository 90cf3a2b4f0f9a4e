#pragma once

// Map data and views for the renderer's tests: the world pack and the test
// regions of the source tree, and a map manager loaded with them.

#include "foundation/CFile.h"
#include "mapdata/CMapManager.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <memory>

namespace tw::test {

inline std::filesystem::path WorldMaps() { return std::filesystem::path(TW_SOURCE_DIR) / "resources/Resources/Maps"; }

// A manager with the packs of the bundle: the world, and the Göteborg and Ottawa regions.
inline std::unique_ptr<CMapManager> LoadMaps()
{
    auto manager = std::make_unique<CMapManager>();
    if (manager->LoadMapsFrom({ CFile(CString(WorldMaps().c_str())) }) != noErr)
        return nullptr;
    return manager;
}

} // namespace tw::test
