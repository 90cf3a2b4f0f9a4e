#pragma once

// Paths of the real map data the tests read, and makers of small packs.

#include "platform/tests/support/TestSupport.h"

#include <filesystem>
#include <string>

namespace tw::test {

inline std::filesystem::path WorldPack()
{
    return std::filesystem::path(TW_SOURCE_DIR) / "resources/Resources/Maps/World.twmap";
}
inline std::filesystem::path WorldLayers()
{
    return WorldPack() / "Contents/Resources/World.twregion/Contents/Resources/Layers";
}
inline std::filesystem::path RegionsPack()
{
    return std::filesystem::path(TW_SOURCE_DIR) / "resources/Resources/Maps/Regions.twmap";
}
inline std::filesystem::path OttawaLayers()
{
    return RegionsPack() / "Contents/Resources/Ottawa.twregion/Contents/Resources/Layers";
}

inline std::string PlistDocument(std::string const& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body + "</dict></plist>\n";
}

inline std::string Key(std::string const& key, std::string const& value)
{
    return "<key>" + key + "</key><string>" + value + "</string>";
}

// One layer file entry of a region's "TWRegionLayers".
inline std::string LayerEntry(std::string const& identifier, int category, std::string const& format = "shp")
{
    return "<dict><key>TWLayerFiles</key><array><dict>" + Key("TWLayerIdentifier", identifier)
        + "<key>TWLayerCategory</key><integer>" + std::to_string(category) + "</integer>" + Key("TWLayerFormat", format)
        + Key("TWLayerFolder", "Layers") + Key("TWLayerFile", identifier + ".shp") + "</dict></array></dict>";
}

// A pack folder with one region whose layers are copies of Ottawa's; extra keys go into
// the region's Info dictionary.
inline void MakePack(std::filesystem::path const& folder, std::string const& packInfo, std::string const& regionId,
    std::string const& regionExtra, std::string const& layers)
{
    std::filesystem::create_directories(folder / "Contents");
    WriteFile(folder / "Contents/Info.plist", PlistDocument(packInfo));
    auto region = folder / "Contents/Resources" / (regionId + ".twregion");
    std::filesystem::create_directories(region / "Contents/Resources");
    std::filesystem::copy(OttawaLayers(), region / "Contents/Resources/Layers");
    WriteFile(region / "Contents/Info.plist",
        PlistDocument(Key("TWRegionIdentifier", regionId) + regionExtra + "<key>TWRegionLayers</key><array>" + layers
            + "</array>"));
}

} // namespace tw::test
