#include "model/CSymbolNameUtilities.h"

#include "mapdata/CSymbolImages.h"

#include <string>
#include <unordered_map>

namespace {

// Names other programs use for our symbols, written as GetSymbol compares them.
struct Alias {
    char const* name;
    GPSWaypointSymbol symbol;
};
constexpr Alias kAliases[] = {
    { "dotwhite", 'wdot' },
    { "smallcity", 'csml' },
    { "mediumcity", 'cmed' },
    { "largecity", 'clrg' },
    { "controlledarea", 'arac' },
    { "dangerarea", 'arad' },
    { "restrictedarea", 'arar' },
    { "navaidamber", 'byam' },
    { "navaidblack", 'bybk' },
    { "navaidblue", 'bybl' },
    { "navaidgreen", 'byge' },
    { "navaidorange", 'byor' },
    { "marina", 'dock' },
    { "shipwreck", 'wrek' },
    { "gasstation", 'fuel' },
    { "parkingarea", 'pkng' },
    { "rvpark", 'parv' },
    { "crossing", 'rlxi' },
    { "railroad", 'rlxi' },
    { "fishingarea", 'fish' },
    { "fishinghotspotfacility", 'fish' },
    { "golfcourse", 'golf' },
    { "skullandcrossbones", 'skul' },
    { "medicalfacility", 'faid' },
    { "information", 'info' },
    { "restroom", 'rest' },
    { "wifihotspot", 'wifi' },
    { "wifi", 'wifi' },
    { "geocaching", 'geoc' },
    { "traditionalcache", 'geoc' },
    { "multicache", 'geoc' },
    { "unknowncache", 'geoc' },
    { "flag", 'fblu' },
    { "pin", 'pred' },
    { "mountain", 'summ' },
    { "trailhead", 'thed' },
    { "drinkingwater", 'dwtr' },
    { "lodge", 'lodg' },
    { "residence", 'resi' },
    { "boatramp", 'bram' },
};

std::string Normalise(std::string_view name)
{
    std::string key;
    key.reserve(name.size());
    for (char c : name) {
        if (c >= 'A' && c <= 'Z')
            key += char(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            key += c;
    }
    return key;
}

std::unordered_map<std::string, GPSWaypointSymbol> const& Names()
{
    static auto const sNames = [] {
        std::unordered_map<std::string, GPSWaypointSymbol> names;
        for (auto const& entry : CSymbolImages::kSymbols) {
            names.emplace(Normalise(entry.name), entry.code);
            char code[4] = { char(entry.code >> 24), char(entry.code >> 16), char(entry.code >> 8), char(entry.code) };
            names.emplace(Normalise(std::string_view(code, 4)), entry.code);
        }
        for (Alias const& alias : kAliases)
            names.emplace(alias.name, alias.symbol);
        return names;
    }();
    return sNames;
}

} // namespace

GPSWaypointSymbol CSymbolNameUtilities::GetSymbol(std::string_view name, GPSWaypointSymbol fallback)
{
    if (name.size() > 64)
        return fallback;
    auto const& names = Names();
    auto found = names.find(Normalise(name));
    return found == names.end() ? fallback : found->second;
}
