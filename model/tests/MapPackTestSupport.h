#pragma once

// Map managers over the real packs the routing and search tests read: the world pack
// of the bundle and the test regions of the map data (Göteborg and Ottawa–Montréal roads).

#include "mapdata/CMapManager.h"

#include <filesystem>
#include <memory>

namespace tw::test {

inline std::filesystem::path WorldMapsFolder()
{
    return std::filesystem::path(TW_SOURCE_DIR) / "resources/Resources/Maps";
}
inline std::filesystem::path TestRegionsFolder()
{
    return std::filesystem::path(TW_SOURCE_DIR) / "mapdata/tests/data/packs";
}

// Loaded once per test process and shared: loading is main-thread work, reading is not.
inline CMapManager& TestRegionMaps()
{
    static std::unique_ptr<CMapManager> const sManager = [] {
        auto manager = std::make_unique<CMapManager>();
        manager->LoadMapsFrom({ CFile(CString(TestRegionsFolder().c_str())) });
        return manager;
    }();
    return *sManager;
}

inline CMapManager& WorldMaps()
{
    static std::unique_ptr<CMapManager> const sManager = [] {
        auto manager = std::make_unique<CMapManager>();
        manager->LoadMapsFrom({ CFile(CString(WorldMapsFolder().c_str())) });
        return manager;
    }();
    return *sManager;
}

} // namespace tw::test
