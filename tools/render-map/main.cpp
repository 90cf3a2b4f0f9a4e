// Draws a view of the map to a PNG file with the tile renderer, as a map view
// shows it: render-map --centre LAT,LON --level Z [--size WxH] [--maps FOLDER]...
// [--workers N] [--print] --out FILE.png
// Without --maps the world pack of the source tree is read.

#include "mapdata/CMapManager.h"
#include "render/CMapSnapshot.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool ParsePair(char const* text, char separator, double& a, double& b)
{
    char const* end = text + std::strlen(text);
    auto [middle, error] = std::from_chars(text, end, a);
    if (error != std::errc() || middle == end || *middle != separator)
        return false;
    auto [last, error2] = std::from_chars(middle + 1, end, b);
    return error2 == std::errc() && last == end;
}

int Usage()
{
    std::fprintf(stderr,
        "usage: render-map --centre LAT,LON --level Z [--size WxH] [--maps FOLDER]... [--workers N] [--print] "
        "--out FILE.png\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    double latitude = 0, longitude = 0, width = 1280, height = 800;
    UInt32 level = 0, workers = 0;
    bool centred = false, print = false;
    std::string out;
    std::vector<CFile> folders;
    for (int i = 1; i < argc; ++i) {
        std::string const option = argv[i];
        bool const hasValue = i + 1 < argc;
        if (option == "--centre" && hasValue)
            centred = ParsePair(argv[++i], ',', latitude, longitude);
        else if (option == "--size" && hasValue) {
            if (!ParsePair(argv[++i], 'x', width, height) || width < 1 || height < 1 || width > 8192 || height > 8192)
                return Usage();
        } else if (option == "--level" && hasValue)
            level = UInt32(std::strtoul(argv[++i], nullptr, 10));
        else if (option == "--workers" && hasValue)
            workers = UInt32(std::strtoul(argv[++i], nullptr, 10));
        else if (option == "--maps" && hasValue)
            folders.emplace_back(CString(argv[++i]));
        else if (option == "--out" && hasValue)
            out = argv[++i];
        else if (option == "--print")
            print = true;
        else
            return Usage();
    }
    if (!centred || out.empty() || level > CMapGeometry::kZoomMaximum || std::abs(latitude) > 90
        || std::abs(longitude) > 180)
        return Usage();
    if (folders.empty())
        folders.emplace_back(CString(TW_WORLD_MAPS_DIR));

    CMapManager manager;
    if (OSStatus status = manager.LoadMapsFrom(folders); status != noErr) {
        std::fprintf(stderr, "render-map: the maps could not be loaded (%d)\n", int(status));
        return 1;
    }
    CMapSnapshot snapshot(manager, workers);
    snapshot.SetView(CCoordinate(latitude, longitude), level, CGSizeMake(width, height));
    auto const start = std::chrono::steady_clock::now();
    OSStatus status = noErr;
    if (print) {
        CGContextRef bitmap = snapshot.GetBitmap();
        CGRect const visible = snapshot.GetVisibleRect();
        CGContextSaveGState(bitmap);
        CGContextTranslateCTM(bitmap, 0, visible.size.height);
        CGContextScaleCTM(bitmap, 1, -1);
        CGContextTranslateCTM(bitmap, -visible.origin.x, -visible.origin.y);
        snapshot.Print(bitmap);
        CGContextRestoreGState(bitmap);
    } else {
        status = snapshot.Render();
    }
    double const seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status != noErr) {
        std::fprintf(stderr, "render-map: the map did not finish (%d)\n", int(status));
        return 1;
    }
    if (snapshot.WritePNG(out) != noErr) {
        std::fprintf(stderr, "render-map: %s could not be written\n", out.c_str());
        return 1;
    }
    std::printf("%s: level %u at %.5f, %.5f, %.0f x %.0f, %.1f ms, %u draw passes\n", out.c_str(), level, latitude,
        longitude, width, height, seconds * 1000, snapshot.GetDrawPasses());
    return 0;
}
