#pragma once

// The interface images the generator draws, and the contact sheet that shows them
// where the program shows them.
#include <cairo.h>
#include <filesystem>
#include <vector>

using DrawFunction = void (*)(cairo_t*);

struct Image {
    char const* name; // the file in the bundle's resources
    int width, height; // [px]
    DrawFunction draw;
};

// A new surface of the image's size with the image drawn; the caller destroys it.
cairo_surface_t* Render(Image const& image);

// Writes the contact sheet; the images are read back from the resources folder
// (NavMap.png too, when it is there). The backdrop, a map picture, sits under the notes.
int DrawContactSheet(
    std::vector<Image> const& images, std::filesystem::path const& resources, char const* path, char const* backdrop);
