#pragma once

// The map manager over the real packs the routing and search tests read: the packs of the
// bundle (the world, and the Göteborg and Ottawa–Montréal road regions).

#include "mapdata/CMapManager.h"

#include <filesystem>
#include <memory>

namespace tw::test {

inline std::filesystem::path BundledMapsFolder()
{
    return std::filesystem::path(TW_SOURCE_DIR) / "resources/Resources/Maps";
}

// Loaded once per test process and shared: loading is main-thread work, reading is not.
inline CMapManager& BundledMaps()
{
    static std::unique_ptr<CMapManager> const sManager = [] {
        auto manager = std::make_unique<CMapManager>();
        manager->LoadMapsFrom({ CFile(CString(BundledMapsFolder().c_str())) });
        return manager;
    }();
    return *sManager;
}

} // namespace tw::test
