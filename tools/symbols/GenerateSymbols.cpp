// Draws the waypoint symbol images at 16 and 32 pixels, and a contact sheet of them.
//   GenerateSymbols <Symbols folder> [contact sheet .png]
// One style: markers keep their own shape and colour; every other symbol is a white
// pictogram on a rounded badge coloured by its menu category.
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <pango/pangocairo.h>
#include <string>
#include <vector>

namespace {
struct RGB {
    double r, g, b;
};
constexpr RGB kBlue { 0.12, 0.35, 0.85 }, kGreen { 0.10, 0.60, 0.20 }, kRed { 0.85, 0.12, 0.10 }, kWhite { 1, 1, 1 },
    kBlack { 0.1, 0.1, 0.1 }, kAmber { 1.0, 0.70, 0.0 }, kOrange { 1.0, 0.45, 0.05 };
constexpr RGB kMarine { 0.05, 0.30, 0.55 }, kTransport { 0.15, 0.35, 0.70 }, kOutdoors { 0.15, 0.50, 0.20 },
    kPlaces { 0.70, 0.35, 0.10 }, kWorship { 0.45, 0.25, 0.60 }, kArea { 0.80, 0.10, 0.10 };

enum Kind { Flag, Pin, Block, Dot, City, Buoy, Badge, Triangle, Target };

struct Symbol {
    char const* name;
    Kind kind;
    RGB colour;
    char const* glyph; // badge text, or a custom drawing named with '#'
    double scale = 1;
};

std::vector<Symbol> const kSymbols = {
    { "Waypoint", Target, kRed, "" },
    { "FlagBlue", Flag, kBlue, "" },
    { "FlagGreen", Flag, kGreen, "" },
    { "FlagRed", Flag, kRed, "" },
    { "PinBlue", Pin, kBlue, "" },
    { "PinGreen", Pin, kGreen, "" },
    { "PinRed", Pin, kRed, "" },
    { "BlockBlue", Block, kBlue, "" },
    { "BlockGreen", Block, kGreen, "" },
    { "BlockRed", Block, kRed, "" },
    { "WhiteDot", Dot, kWhite, "" },
    { "CitySmall", City, kBlack, "", 0.45 },
    { "CityMedium", City, kBlack, "", 0.65 },
    { "CityLarge", City, kBlack, "", 0.9 },
    { "AreaControlled", Triangle, { 0.9, 0.6, 0 }, "C" },
    { "AreaDanger", Triangle, kArea, "!" },
    { "AreaRestricted", Triangle, kArea, "R" },
    { "BuoyAmber", Buoy, kAmber, "" },
    { "BuoyBlack", Buoy, kBlack, "" },
    { "BuoyBlue", Buoy, kBlue, "" },
    { "BuoyGreen", Buoy, kGreen, "" },
    { "BuoyOrange", Buoy, kOrange, "" },
    { "Anchor", Badge, kMarine, "\u2693" },
    { "Beach", Badge, kMarine, "\u2600" },
    { "BoatRamp", Badge, kMarine, "#ramp" },
    { "Dock", Badge, kMarine, "#dock" },
    { "ManOverBoard", Badge, kRed, "#mob" },
    { "Wreck", Badge, kMarine, "#wreck" },
    { "Airport", Badge, kTransport, "\u2708" },
    { "Bridge", Badge, kTransport, "#bridge" },
    { "Car", Badge, kTransport, "#car" },
    { "Ford", Badge, kTransport, "#ford" },
    { "Fuel", Badge, kTransport, "#fuel" },
    { "Parking", Badge, kTransport, "P" },
    { "ParkRV", Badge, kTransport, "RV", 0.8 },
    { "RailCrossing", Badge, kTransport, "#crossing" },
    { "TollBooth", Badge, kTransport, "$" },
    { "TruckStop", Badge, kTransport, "#truck" },
    { "BikeTrail", Badge, kOutdoors, "#bike" },
    { "Campground", Badge, kOutdoors, "#tent" },
    { "DrinkingWater", Badge, kOutdoors, "#drop" },
    { "Fish", Badge, kOutdoors, "#fish" },
    { "GeoCache", Badge, kOutdoors, "#box" },
    { "GeoCacheFound", Badge, kOutdoors, "\u2714" },
    { "Golf", Badge, kOutdoors, "#golf" },
    { "Lodging", Badge, kOutdoors, "#bed" },
    { "Skull", Badge, kBlack, "\u2620" },
    { "Summit", Badge, kOutdoors, "#peak" },
    { "TrailHead", Badge, kOutdoors, "#walker" },
    { "Bar", Badge, kPlaces, "#glass" },
    { "FastFood", Badge, kPlaces, "#cup" },
    { "FirstAid", Badge, kRed, "\u271A" },
    { "FlashMob", Badge, kPlaces, "\u26A1" },
    { "Home", Badge, kPlaces, "#home" },
    { "Hotel", Badge, kPlaces, "H" },
    { "House", Badge, kPlaces, "#house" },
    { "Info", Badge, kPlaces, "i" },
    { "Residence", Badge, kPlaces, "#residence" },
    { "Restaurant", Badge, kPlaces, "#cutlery" },
    { "Restrooms", Badge, kPlaces, "WC", 0.75 },
    { "School", Badge, kPlaces, "#school" },
    { "WiFiOpen", Badge, kPlaces, "#wifi" },
    { "WiFiWEP", Badge, kPlaces, "#wifilock" },
    { "Church", Badge, kWorship, "\u271D" },
    { "Mosque", Badge, kWorship, "\u262A" },
    { "Synagogue", Badge, kWorship, "\u2721" },
};

void Set(cairo_t* cr, RGB c, double a = 1) { cairo_set_source_rgba(cr, c.r, c.g, c.b, a); }

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// Fill with a dark outline, so every symbol reads on land, water and roads.
void FillOutlined(cairo_t* cr, RGB fill, double outline = 1.6)
{
    Set(cr, fill);
    cairo_fill_preserve(cr);
    Set(cr, kBlack, 0.85);
    cairo_set_line_width(cr, outline);
    cairo_stroke(cr);
}

void Text(cairo_t* cr, char const* text, double size, double cx, double cy)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    std::string font = "DejaVu Sans Bold " + std::to_string(int(size)) + "px";
    PangoFontDescription* description = pango_font_description_from_string(font.c_str());
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, text, -1);
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    cairo_move_to(cr, cx - ink.x - ink.width / 2.0, cy - ink.y - ink.height / 2.0);
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(description);
    g_object_unref(layout);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
}

// White pictograms drawn in the 32-unit badge; strokes 3 units wide.
void Pictogram(cairo_t* cr, std::string const& name)
{
    Set(cr, kWhite);
    cairo_set_line_width(cr, 3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (name == "#ramp") {
        cairo_move_to(cr, 6, 24);
        cairo_line_to(cr, 26, 24);
        cairo_line_to(cr, 26, 12);
        cairo_close_path(cr);
        cairo_fill(cr);
        Line(cr, 8, 14, 16, 9);
        cairo_stroke(cr);
    } else if (name == "#dock") {
        Line(cr, 6, 14, 26, 14);
        Line(cr, 10, 14, 10, 25);
        Line(cr, 22, 14, 22, 25);
        cairo_stroke(cr);
        Line(cr, 6, 22, 26, 22);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    } else if (name == "#mob") {
        cairo_arc(cr, 16, 16, 8, 0, 2 * M_PI);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        cairo_arc(cr, 16, 16, 2.5, 0, 2 * M_PI);
        cairo_fill(cr);
    } else if (name == "#wreck") {
        cairo_move_to(cr, 5, 14);
        cairo_line_to(cr, 25, 20);
        cairo_line_to(cr, 21, 26);
        cairo_line_to(cr, 8, 22);
        cairo_close_path(cr);
        cairo_fill(cr);
        Line(cr, 14, 17, 18, 6);
        cairo_stroke(cr);
    } else if (name == "#bridge") {
        cairo_arc(cr, 16, 24, 9, M_PI, 0);
        cairo_stroke(cr);
        Line(cr, 4, 15, 28, 15);
        cairo_stroke(cr);
    } else if (name == "#car" || name == "#truck") {
        if (name == "#car") {
            RoundRect(cr, 5, 14, 22, 8, 2);
            cairo_fill(cr);
            cairo_move_to(cr, 9, 14);
            cairo_line_to(cr, 12, 8);
            cairo_line_to(cr, 20, 8);
            cairo_line_to(cr, 23, 14);
            cairo_fill(cr);
        } else {
            cairo_rectangle(cr, 4, 8, 15, 14);
            cairo_rectangle(cr, 20, 12, 8, 10);
            cairo_fill(cr);
        }
        Set(cr, kTransport);
        cairo_arc(cr, 10, 23, 3.5, 0, 2 * M_PI);
        cairo_arc(cr, 22, 23, 3.5, 0, 2 * M_PI);
        cairo_fill(cr);
        Set(cr, kWhite);
        cairo_arc(cr, 10, 23, 2.5, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_arc(cr, 22, 23, 2.5, 0, 2 * M_PI);
        cairo_fill(cr);
    } else if (name == "#ford") {
        for (int y : { 13, 20 }) {
            cairo_move_to(cr, 5, y);
            cairo_curve_to(cr, 10, y - 4, 12, y + 4, 16, y);
            cairo_curve_to(cr, 20, y - 4, 22, y + 4, 27, y);
        }
        cairo_stroke(cr);
    } else if (name == "#fuel") {
        RoundRect(cr, 7, 7, 12, 19, 1.5);
        cairo_fill(cr);
        Set(cr, kTransport);
        cairo_rectangle(cr, 9.5, 9.5, 7, 5);
        cairo_fill(cr);
        Set(cr, kWhite);
        cairo_move_to(cr, 19, 12);
        cairo_line_to(cr, 24, 15);
        cairo_line_to(cr, 24, 23);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    } else if (name == "#crossing") {
        cairo_set_line_width(cr, 4);
        Line(cr, 7, 7, 25, 25);
        Line(cr, 25, 7, 7, 25);
        cairo_stroke(cr);
    } else if (name == "#bike") {
        cairo_set_line_width(cr, 2.2);
        cairo_arc(cr, 9, 21, 5, 0, 2 * M_PI);
        cairo_stroke(cr);
        cairo_arc(cr, 23, 21, 5, 0, 2 * M_PI);
        cairo_stroke(cr);
        cairo_move_to(cr, 9, 21);
        cairo_line_to(cr, 14, 12);
        cairo_line_to(cr, 21, 12);
        cairo_line_to(cr, 23, 21);
        cairo_move_to(cr, 14, 12);
        cairo_line_to(cr, 16, 21);
        cairo_line_to(cr, 21, 12);
        cairo_stroke(cr);
    } else if (name == "#tent" || name == "#peak") {
        cairo_move_to(cr, 16, 6);
        cairo_line_to(cr, 28, 25);
        cairo_line_to(cr, 4, 25);
        cairo_close_path(cr);
        cairo_fill(cr);
        if (name == "#tent") {
            Set(cr, kOutdoors);
            cairo_move_to(cr, 16, 14);
            cairo_line_to(cr, 20, 25);
            cairo_line_to(cr, 12, 25);
            cairo_fill(cr);
        } else {
            Set(cr, kOutdoors);
            cairo_move_to(cr, 12, 12.5);
            cairo_line_to(cr, 16, 15);
            cairo_line_to(cr, 20, 12.5);
            cairo_line_to(cr, 16, 6);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
    } else if (name == "#drop") {
        cairo_move_to(cr, 16, 5);
        cairo_curve_to(cr, 20, 12, 24, 15, 24, 19);
        cairo_arc(cr, 16, 19, 8, 0, M_PI);
        cairo_curve_to(cr, 8, 15, 12, 12, 16, 5);
        cairo_fill(cr);
    } else if (name == "#fish") {
        cairo_save(cr);
        cairo_translate(cr, 14, 16);
        cairo_scale(cr, 1, 0.55);
        cairo_arc(cr, 0, 0, 9, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_fill(cr);
        cairo_move_to(cr, 21, 16);
        cairo_line_to(cr, 28, 10);
        cairo_line_to(cr, 28, 22);
        cairo_fill(cr);
    } else if (name == "#box") {
        cairo_rectangle(cr, 7, 11, 18, 14);
        cairo_fill(cr);
        Set(cr, kOutdoors);
        Line(cr, 7, 16, 25, 16);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        Set(cr, kWhite);
        cairo_move_to(cr, 7, 10);
        cairo_line_to(cr, 11, 6);
        cairo_line_to(cr, 21, 6);
        cairo_line_to(cr, 25, 10);
        cairo_fill(cr);
    } else if (name == "#golf") {
        cairo_set_line_width(cr, 2.5);
        Line(cr, 12, 5, 12, 26);
        cairo_stroke(cr);
        cairo_move_to(cr, 12, 5);
        cairo_line_to(cr, 24, 9.5);
        cairo_line_to(cr, 12, 14);
        cairo_fill(cr);
        cairo_save(cr);
        cairo_translate(cr, 16, 26);
        cairo_scale(cr, 1, 0.35);
        cairo_arc(cr, 0, 0, 9, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_fill(cr);
    } else if (name == "#bed") {
        cairo_rectangle(cr, 5, 17, 22, 5);
        cairo_fill(cr);
        Line(cr, 6, 10, 6, 26);
        Line(cr, 26, 17, 26, 26);
        cairo_stroke(cr);
        cairo_arc(cr, 11, 14, 2.5, 0, 2 * M_PI);
        cairo_fill(cr);
        RoundRect(cr, 15, 12, 11, 5, 1.5);
        cairo_fill(cr);
    } else if (name == "#walker") {
        cairo_arc(cr, 17, 7, 3, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_move_to(cr, 16, 12);
        cairo_line_to(cr, 14, 19);
        cairo_line_to(cr, 10, 26);
        cairo_move_to(cr, 14, 19);
        cairo_line_to(cr, 19, 26);
        cairo_move_to(cr, 10, 16);
        cairo_line_to(cr, 16, 12);
        cairo_line_to(cr, 21, 17);
        cairo_stroke(cr);
        Line(cr, 24, 12, 24, 27);
        cairo_set_line_width(cr, 1.8);
        cairo_stroke(cr);
    } else if (name == "#glass") {
        cairo_move_to(cr, 6, 7);
        cairo_line_to(cr, 26, 7);
        cairo_line_to(cr, 16, 17);
        cairo_close_path(cr);
        cairo_fill(cr);
        Line(cr, 16, 17, 16, 25);
        Line(cr, 11, 25, 21, 25);
        cairo_stroke(cr);
    } else if (name == "#cup") {
        cairo_move_to(cr, 8, 9);
        cairo_line_to(cr, 22, 9);
        cairo_line_to(cr, 20, 26);
        cairo_line_to(cr, 10, 26);
        cairo_close_path(cr);
        cairo_fill(cr);
        Line(cr, 17, 9, 20, 4);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    } else if (name == "#home" || name == "#house" || name == "#residence") {
        cairo_move_to(cr, 16, 5);
        cairo_line_to(cr, 28, 16);
        cairo_line_to(cr, 4, 16);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_rectangle(cr, 8, 15, 16, 11);
        cairo_fill(cr);
        Set(cr, kPlaces);
        if (name == "#home") {
            cairo_rectangle(cr, 14, 19, 4, 7);
            cairo_fill(cr);
        } else if (name == "#house") {
            cairo_rectangle(cr, 11, 18, 4, 4);
            cairo_rectangle(cr, 17, 18, 4, 4);
            cairo_fill(cr);
        } else {
            for (int x : { 10, 15, 20 })
                cairo_rectangle(cr, x, 18, 3, 3);
            cairo_fill(cr);
        }
    } else if (name == "#cutlery") {
        cairo_set_line_width(cr, 2.5);
        Line(cr, 11, 5, 11, 27);
        Line(cr, 7, 5, 7, 12);
        Line(cr, 15, 5, 15, 12);
        cairo_stroke(cr);
        cairo_move_to(cr, 7, 12);
        cairo_curve_to(cr, 7, 16, 15, 16, 15, 12);
        cairo_stroke(cr);
        cairo_move_to(cr, 21, 27);
        cairo_line_to(cr, 21, 5);
        cairo_curve_to(cr, 26, 8, 26, 15, 21, 17);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
    } else if (name == "#school") {
        cairo_move_to(cr, 16, 6);
        cairo_line_to(cr, 29, 12);
        cairo_line_to(cr, 16, 18);
        cairo_line_to(cr, 3, 12);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_move_to(cr, 9, 15);
        cairo_line_to(cr, 9, 22);
        cairo_curve_to(cr, 13, 26, 19, 26, 23, 22);
        cairo_line_to(cr, 23, 15);
        cairo_fill(cr);
    } else if (name == "#wifi" || name == "#wifilock") {
        double cx = name == "#wifi" ? 16 : 13;
        cairo_arc(cr, cx, 24, 2.5, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_set_line_width(cr, 2.6);
        for (double r : { 7.0, 12.5, 18.0 }) {
            cairo_arc(cr, cx, 24, r, -3 * M_PI / 4, -M_PI / 4);
            cairo_new_sub_path(cr);
        }
        cairo_stroke(cr);
        if (name == "#wifilock") {
            cairo_rectangle(cr, 20, 17, 9, 8);
            cairo_fill(cr);
            cairo_arc(cr, 24.5, 17, 2.8, M_PI, 0);
            cairo_set_line_width(cr, 1.8);
            cairo_stroke(cr);
        }
    }
}

void DrawSymbol(cairo_t* cr, Symbol const& s)
{
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    switch (s.kind) {
    case Flag:
        cairo_rectangle(cr, 7, 3, 3, 27);
        FillOutlined(cr, { 0.35, 0.35, 0.35 }, 1.2);
        cairo_move_to(cr, 10, 4);
        cairo_line_to(cr, 27, 10);
        cairo_line_to(cr, 10, 17);
        cairo_close_path(cr);
        FillOutlined(cr, s.colour);
        break;
    case Pin:
        cairo_move_to(cr, 16, 30);
        cairo_line_to(cr, 8.5, 16);
        cairo_arc(cr, 16, 12, 8.5, M_PI * 0.85, M_PI * 0.15);
        cairo_close_path(cr);
        FillOutlined(cr, s.colour);
        cairo_arc(cr, 16, 12, 3.5, 0, 2 * M_PI);
        Set(cr, kWhite);
        cairo_fill(cr);
        break;
    case Block:
        RoundRect(cr, 6, 6, 20, 20, 2.5);
        FillOutlined(cr, s.colour, 2);
        break;
    case Dot:
        cairo_arc(cr, 16, 16, 8, 0, 2 * M_PI);
        FillOutlined(cr, s.colour, 2.5);
        break;
    case City:
        cairo_arc(cr, 16, 16, 14 * s.scale, 0, 2 * M_PI);
        FillOutlined(cr, kWhite, 3);
        cairo_arc(cr, 16, 16, 6.5 * s.scale, 0, 2 * M_PI);
        Set(cr, kBlack);
        cairo_fill(cr);
        break;
    case Buoy:
        cairo_move_to(cr, 16, 3);
        cairo_line_to(cr, 24, 23);
        cairo_line_to(cr, 8, 23);
        cairo_close_path(cr);
        FillOutlined(cr, s.colour);
        cairo_save(cr);
        cairo_translate(cr, 16, 26);
        cairo_scale(cr, 1, 0.3);
        cairo_arc(cr, 0, 0, 13, 0, 2 * M_PI);
        cairo_restore(cr);
        FillOutlined(cr, { 0.55, 0.55, 0.55 }, 1.2);
        break;
    case Triangle:
        cairo_move_to(cr, 16, 2.5);
        cairo_line_to(cr, 30, 28);
        cairo_line_to(cr, 2, 28);
        cairo_close_path(cr);
        FillOutlined(cr, s.colour, 2);
        Set(cr, kWhite);
        Text(cr, s.glyph, 15, 16, 19.5);
        break;
    case Target:
        cairo_arc(cr, 16, 16, 11, 0, 2 * M_PI);
        FillOutlined(cr, kWhite, 1.5);
        cairo_arc(cr, 16, 16, 8, 0, 2 * M_PI);
        Set(cr, s.colour);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        cairo_arc(cr, 16, 16, 3, 0, 2 * M_PI);
        cairo_fill(cr);
        break;
    case Badge:
        RoundRect(cr, 1.5, 1.5, 29, 29, 6);
        FillOutlined(cr, s.colour, 1.5);
        if (s.glyph[0] == '#') {
            cairo_save(cr);
            RoundRect(cr, 1.5, 1.5, 29, 29, 6);
            cairo_clip(cr);
            Pictogram(cr, s.glyph);
            cairo_restore(cr);
        } else {
            Set(cr, kWhite);
            Text(cr, s.glyph, 22 * s.scale, 16, 16);
        }
        break;
    }
}

cairo_surface_t* Render(Symbol const& s, int size)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, size / 32.0, size / 32.0);
    DrawSymbol(cr, s);
    cairo_destroy(cr);
    return surface;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <Symbols folder> [contact sheet.png]\n", argv[0]);
        return 2;
    }
    std::filesystem::path folder = argv[1];
    for (int size : { 16, 32 }) {
        std::filesystem::create_directories(folder / std::to_string(size));
        for (Symbol const& s : kSymbols) {
            cairo_surface_t* surface = Render(s, size);
            std::string path = (folder / std::to_string(size) / (std::string(s.name) + ".png")).string();
            if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS)
                return std::fprintf(stderr, "cannot write %s\n", path.c_str()), 1;
            cairo_surface_destroy(surface);
        }
    }
    if (argc > 2) { // six columns of 32 px, 16 px and the name, on a map-like background
        int const columns = 6, cellW = 150, cellH = 44, rows = (int(kSymbols.size()) + columns - 1) / columns;
        cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, columns * cellW, rows * cellH);
        cairo_t* cr = cairo_create(sheet);
        cairo_set_source_rgb(cr, 0.93, 0.91, 0.85);
        cairo_paint(cr);
        for (std::size_t i = 0; i < kSymbols.size(); ++i) {
            double x = double(i % columns) * cellW, y = double(i / columns) * cellH;
            for (int size : { 32, 16 }) {
                cairo_surface_t* image = Render(kSymbols[i], size);
                cairo_set_source_surface(cr, image, x + 4 + (size == 16 ? 38 : 0), y + 6 + (size == 16 ? 8 : 0));
                cairo_paint(cr);
                cairo_surface_destroy(image);
            }
            cairo_set_source_rgb(cr, 0, 0, 0);
            PangoLayout* layout = pango_cairo_create_layout(cr);
            PangoFontDescription* d = pango_font_description_from_string("DejaVu Sans 9px");
            pango_layout_set_font_description(layout, d);
            pango_layout_set_text(layout, kSymbols[i].name, -1);
            cairo_move_to(cr, x + 60, y + 16);
            pango_cairo_show_layout(cr, layout);
            pango_font_description_free(d);
            g_object_unref(layout);
        }
        cairo_destroy(cr);
        cairo_surface_write_to_png(sheet, argv[2]);
        cairo_surface_destroy(sheet);
    }
    return 0;
}
