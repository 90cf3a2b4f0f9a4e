// The contact sheet: every image where the program shows it, at its real size: the two
// window toolbars (with a selected and a pressed-looking item, and inactive), the
// line pictures in a menu, the compass turned and dimmed, the notes on a map, the
// navigator's world picture; and the icons enlarged four times, pixel for pixel.
#include "Images.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <pango/pangocairo.h>
#include <string>

namespace {

constexpr double kToolbarGrey = 0.9, kWindowGrey = 0.93, kMenuGrey = 0.98; // the platform's theme
constexpr double kIconSize = 32, kIconTop = 5, kStripHeight = 58;

struct Item {
    char const* image; // null for the flexible space
    char const* label;
};

Image const* Find(std::vector<Image> const& images, char const* name)
{
    for (Image const& image : images)
        if (std::strcmp(image.name, name) == 0)
            return &image;
    return nullptr;
}

double TextWidth(cairo_t* cr, char const* text, double size)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    std::string const font = "DejaVu Sans " + std::to_string(int(size)) + "px";
    PangoFontDescription* description = pango_font_description_from_string(font.c_str());
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, text, -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    pango_font_description_free(description);
    g_object_unref(layout);
    return width;
}

// Text with its top left at (x, y), or centred on x.
void Label(cairo_t* cr, char const* text, double x, double y, double size, double grey, bool centred = false)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    std::string const font = "DejaVu Sans " + std::to_string(int(size)) + "px";
    PangoFontDescription* description = pango_font_description_from_string(font.c_str());
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, text, -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    cairo_set_source_rgb(cr, grey, grey, grey);
    cairo_move_to(cr, std::round(centred ? x - width / 2.0 : x), y);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(description);
    g_object_unref(layout);
}

void Paint(
    cairo_t* cr, cairo_surface_t* s, double x, double y, double w, double h, cairo_filter_t filter, double alpha = 1)
{
    double const sx = w / cairo_image_surface_get_width(s), sy = h / cairo_image_surface_get_height(s);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, sx, sy);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), filter);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// A window toolbar as the toolbox draws it: slots as wide as their label, a flexible
// space taking what is left, the selected item on a darker rounded ground.
void Toolbar(cairo_t* cr, std::vector<Image> const& images, std::vector<Item> const& items, double x, double y,
    double width, int selected, bool active)
{
    cairo_set_source_rgb(cr, kToolbarGrey, kToolbarGrey, kToolbarGrey);
    cairo_rectangle(cr, x, y, width, kStripHeight);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.66, 0.66, 0.66);
    cairo_rectangle(cr, x, y + kStripHeight - 1, width, 1);
    cairo_fill(cr);
    double used = 8;
    for (Item const& item : items)
        used += item.image ? std::max(kIconSize + 8, std::ceil(TextWidth(cr, item.label, 11)) + 8) : 0;
    double left = x + 4;
    for (std::size_t i = 0; i < items.size(); ++i) {
        Item const& item = items[i];
        if (!item.image) {
            left += width - used;
            continue;
        }
        double const w = std::max(kIconSize + 8, std::ceil(TextWidth(cr, item.label, 11)) + 8);
        if (int(i) == selected) {
            RoundRect(cr, left, y + 2, w, kStripHeight - 4, 5);
            cairo_set_source_rgba(cr, 0, 0, 0, 0.1);
            cairo_fill(cr);
        }
        if (Image const* image = Find(images, item.image)) {
            cairo_surface_t* s = Render(*image);
            Paint(cr, s, std::floor(left + w / 2 - kIconSize / 2), y + kIconTop, kIconSize, kIconSize,
                CAIRO_FILTER_GOOD, active ? 1 : 0.4);
            cairo_surface_destroy(s);
        }
        Label(cr, item.label, left + w / 2, y + kIconTop + kIconSize + 2, 11, active ? 0.1 : 0.6, true);
        left += w;
    }
}

// The compass as its view draws it: the base, and over it the needle turned about the
// centre with a soft shadow (several faint copies stand in for the blur here).
void Compass(cairo_t* cr, std::vector<Image> const& images, double x, double y, double degrees, bool enabled)
{
    cairo_surface_t* base = Render(*Find(images, "CompassBase.png"));
    cairo_surface_t* needle = Render(*Find(images, "CompassNeedle.png"));
    double const side = cairo_image_surface_get_width(base), c = side / 2;
    Paint(cr, base, x, y, side, side, CAIRO_FILTER_GOOD, enabled ? 1 : 0.5);
    if (enabled) {
        cairo_save(cr);
        cairo_translate(cr, x + c, y + c);
        cairo_rotate(cr, degrees * M_PI / 180);
        cairo_translate(cr, -c, -c);
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy) {
                cairo_set_source_rgba(cr, 0, 0, 0, 0.05);
                cairo_mask_surface(cr, needle, dx, dy);
            }
        cairo_set_source_surface(cr, needle, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    cairo_surface_destroy(base);
    cairo_surface_destroy(needle);
}

// A pop-up menu of line pictures: each picture left of its words, one row highlighted.
void LineMenu(cairo_t* cr, std::vector<Image> const& images, std::vector<Item> const& rows, double x, double y)
{
    double const width = 130, rowHeight = 20;
    cairo_set_source_rgb(cr, kMenuGrey, kMenuGrey, kMenuGrey);
    cairo_rectangle(cr, x, y, width, 8 + rowHeight * rows.size());
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        double const top = y + 4 + rowHeight * i;
        bool const on = i == 1;
        if (on) {
            cairo_set_source_rgb(cr, 0.25, 0.5, 0.85);
            cairo_rectangle(cr, x + 1, top, width - 2, rowHeight);
            cairo_fill(cr);
        }
        cairo_surface_t* s = Render(*Find(images, rows[i].image));
        Paint(cr, s, x + 20, top + 2, 48, 16, CAIRO_FILTER_NEAREST);
        cairo_surface_destroy(s);
        Label(cr, rows[i].label, x + 76, top + 3, 13, on ? 1 : 0.1);
    }
}

// Notes at both sizes and a few waypoint symbols, on a piece of map.
void NotesOnMap(cairo_t* cr, std::vector<Image> const& images, std::filesystem::path const& resources,
    char const* backdrop, double x, double y, double w, double h)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_surface_t* map = backdrop ? cairo_image_surface_create_from_png(backdrop) : nullptr;
    if (map && cairo_surface_status(map) == CAIRO_STATUS_SUCCESS) {
        cairo_set_source_surface(cr, map, x, y);
        cairo_paint(cr);
    } else {
        cairo_set_source_rgb(cr, 0.95, 0.94, 0.91);
        cairo_paint(cr);
    }
    if (map)
        cairo_surface_destroy(map);
    cairo_surface_t* note = Render(*Find(images, "MapNote.png"));
    for (int i = 0; i < 4; ++i) {
        double const size = i % 2 ? 16 : 32;
        Paint(cr, note, x + 30 + i * 70, y + 40 + (i % 2) * 8, size, size, CAIRO_FILTER_GOOD);
    }
    cairo_surface_destroy(note);
    char const* symbols[] = { "Waypoint.png", "FlagRed.png", "PinBlue.png", "Info.png" };
    for (int i = 0; i < 4; ++i) {
        cairo_surface_t* s
            = cairo_image_surface_create_from_png((resources / "Symbols" / "32" / symbols[i]).string().c_str());
        if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS)
            Paint(cr, s, x + 30 + i * 70, y + 100, 32, 32, CAIRO_FILTER_GOOD);
        cairo_surface_destroy(s);
    }
    cairo_restore(cr);
}

// The navigator: the world picture fitted into the view, framed, with a view marker.
void Navigator(cairo_t* cr, std::filesystem::path const& resources, double x, double y, double side)
{
    cairo_surface_t* world = cairo_image_surface_create_from_png((resources / "NavMap.png").string().c_str());
    if (cairo_surface_status(world) == CAIRO_STATUS_SUCCESS) {
        Paint(cr, world, x, y, side, side, CAIRO_FILTER_BEST);
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_set_line_width(cr, 2);
        cairo_rectangle(cr, x + side * 0.49, y + side * 0.27, side * 0.06, side * 0.05);
        cairo_stroke(cr);
    }
    cairo_surface_destroy(world);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, x + 0.5, y + 0.5, side - 1, side - 1);
    cairo_stroke(cr);
}

// Every 32-pixel icon four times as large, nearest neighbour, on the toolbar's grey.
void Enlarged(cairo_t* cr, std::vector<Image> const& images, double x, double y)
{
    int column = 0;
    for (Image const& image : images) {
        if (image.width != 32 || image.height != 32)
            continue;
        double const left = x + column * 136;
        cairo_set_source_rgb(cr, kToolbarGrey, kToolbarGrey, kToolbarGrey);
        cairo_rectangle(cr, left, y, 128, 128);
        cairo_fill(cr);
        cairo_surface_t* s = Render(image);
        Paint(cr, s, left, y, 128, 128, CAIRO_FILTER_NEAREST);
        cairo_surface_destroy(s);
        ++column;
    }
}

} // namespace

int DrawContactSheet(
    std::vector<Image> const& images, std::filesystem::path const& resources, char const* path, char const* backdrop)
{
    double const width = 16 * 136 + 16, height = 760;
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(width), int(height));
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, kWindowGrey, kWindowGrey, kWindowGrey);
    cairo_paint(cr);
    std::vector<Item> const document = { { "DocWaypoint.png", "Waypoint" }, { "DocRoute.png", "Route" },
        { "DocHand.png", "Hand" }, { "DocZoom.png", "Zoom" }, { "DocRuler.png", "Ruler" }, { "DocNote.png", "Note" },
        { "DocRectangle.png", "Rectangle" }, { "DocCircle.png", "Circle" }, { "DocLine.png", "Line" }, { nullptr, "" },
        { "DocInspector.png", "Inspector" }, { "DocDevice.png", "Device" }, { "DocSynchronise.png", "Synchronise" } };
    std::vector<Item> const preferences
        = { { "PrefGeneral.png", "General" }, { "PrefUpdate.png", "Update" }, { "PrefDebug.png", "Debug" } };
    Toolbar(cr, images, document, 8, 8, 900, 2, true);
    Toolbar(cr, images, document, 8, 74, 900, 2, false);
    Toolbar(cr, images, preferences, 940, 8, 260, 0, true);
    Toolbar(cr, images, preferences, 940, 74, 260, 0, false);
    Enlarged(cr, images, 8, 150);
    double const row = 300;
    double angle = 0;
    for (int i = 0; i < 4; ++i, angle += 125)
        Compass(cr, images, 8 + i * 110, row, angle, i < 3);
    LineMenu(cr, images,
        { { "LineWidth1.png", "1 pt" }, { "LineWidth2.png", "2 pt" }, { "LineWidth4.png", "4 pt" },
            { "LineWidth8.png", "8 pt" } },
        460, row);
    LineMenu(cr, images,
        { { "LineStyleSolid.png", "Solid" }, { "LineStyleDot.png", "Dotted" }, { "LineStyleDash.png", "Dashed" } }, 610,
        row);
    NotesOnMap(cr, images, resources, backdrop, 760, row, 300, 150);
    Navigator(cr, resources, 1080, row, 200);
    Navigator(cr, resources, 1300, row, 440);
    cairo_destroy(cr);
    cairo_status_t const status = cairo_surface_write_to_png(sheet, path);
    cairo_surface_destroy(sheet);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    return 0;
}
