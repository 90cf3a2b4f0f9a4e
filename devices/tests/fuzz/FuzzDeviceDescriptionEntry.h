#pragma once

// The body of the device description bundles' fuzz entry, shared with the test that replays
// the seed corpus. The input is a bundle's Info.plist, written into a scratch "twdevice" bundle
// (with an icon file beside it) and read as the device manager reads every description.
// A description read has its name and identifier; a refused one says kDeviceDescriptionErr.

#include "devices/CDeviceDescription.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tw::fuzz {

inline std::filesystem::path const& ScratchDeviceBundle()
{
    static std::filesystem::path const bundle = [] {
        std::string folder = (std::filesystem::temp_directory_path() / "tw-fuzz-device-XXXXXX").string();
        char* made = mkdtemp(folder.data());
        std::filesystem::path path = std::filesystem::path(made ? made : "/nonexistent") / "Fuzz.twdevice";
        std::filesystem::create_directories(path / "Contents/Resources");
        std::ofstream(path / "Contents/Resources/Icon.png") << "not a picture";
        return path;
    }();
    return bundle;
}

inline int FuzzDeviceDescriptionInput(uint8_t const* data, size_t size)
{
    std::filesystem::path const& bundle = ScratchDeviceBundle();
    {
        std::ofstream out(bundle / "Contents/Info.plist", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<char const*>(data), std::streamsize(size));
    }
    CDeviceDescription description;
    OSStatus const status = description.Initialise(CFile(CString(bundle.c_str(), kCFStringEncodingUTF8)));
    if (status == noErr) {
        if (description.GetName().IsEmpty() || description.GetIdentifier().IsEmpty())
            __builtin_trap();
        for (UInt32 id : description.GetProductIDs())
            if (!description.HasProductID(id))
                __builtin_trap();
    } else if (status != kDeviceDescriptionErr) {
        __builtin_trap();
    }
    return 0;
}

} // namespace tw::fuzz
