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
inline std::filesystem::path TestRegionMaps() { return std::filesystem::path(TW_SOURCE_DIR) / "mapdata/tests/data/packs"; }

// A manager with the world pack, and with the Göteborg and Ottawa regions when asked.
inline std::unique_ptr<CMapManager> LoadMaps(bool testRegions)
{
    auto manager = std::make_unique<CMapManager>();
    std::vector<CFile> folders { CFile(CString(WorldMaps().c_str())) };
    if (testRegions)
        folders.emplace_back(CString(TestRegionMaps().c_str()));
    if (manager->LoadMapsFrom(folders) != noErr)
        return nullptr;
    return manager;
}

} // namespace tw::test
