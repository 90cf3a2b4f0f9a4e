// Draws the interface images of the bundle: the document and preferences toolbar
// icons, the note on the map, the compass and the inspector's line pictures; and,
// when asked, a contact sheet of them on the backgrounds they are shown on.
//   GenerateImages <Resources folder> [contact sheet .png [map backdrop .png]]
// One style: a dark ink outline 2 px wide, flat fills from the application icon's
// palette, shapes on the pixel grid wherever they have straight edges.
#include "Images.h"

#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <pango/pangocairo.h>
#include <string>
#include <vector>

namespace {

struct RGB {
    double r, g, b;
};
constexpr RGB kInk { 0.149, 0.212, 0.278 }, kWhite { 1, 1, 1 }, kRed { 0.839, 0.271, 0.271 },
    kBlue { 0.180, 0.471, 0.761 }, kNavy { 0.114, 0.361, 0.541 }, kGreen { 0.247, 0.561, 0.310 },
    kYellow { 0.957, 0.773, 0.259 }, kPaper { 0.992, 0.890, 0.525 }, kFold { 0.910, 0.725, 0.227 },
    kPale { 0.910, 0.945, 0.969 }, kSlate { 0.290, 0.353, 0.420 }, kSteel { 0.690, 0.729, 0.769 };
constexpr double kOutline = 2; // [px] the ink outline of every icon

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

void Circle(cairo_t* cr, double x, double y, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
}

// Fills the current path, then outlines it in ink.
void FillOutlined(cairo_t* cr, RGB fill, double fillAlpha = 1, double outline = kOutline)
{
    Set(cr, fill, fillAlpha);
    cairo_fill_preserve(cr);
    Set(cr, kInk);
    cairo_set_line_width(cr, outline);
    cairo_stroke(cr);
}

void Text(cairo_t* cr, char const* text, double size, double cx, double cy)
{
    PangoLayout* layout = pango_cairo_create_layout(cr);
    std::string const font = "DejaVu Sans Bold " + std::to_string(int(size)) + "px";
    PangoFontDescription* description = pango_font_description_from_string(font.c_str());
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, text, -1);
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    cairo_move_to(cr, std::round(cx - ink.x - ink.width / 2.0), std::round(cy - ink.y - ink.height / 2.0));
    pango_cairo_show_layout(cr, layout);
    pango_font_description_free(description);
    g_object_unref(layout);
}

// A solid arrowhead at the end of an arc, pointing along the arc's direction of travel.
void ArcArrowhead(cairo_t* cr, double cx, double cy, double r, double angle, double length, double halfWidth)
{
    double const nx = std::cos(angle), ny = std::sin(angle), tx = -ny, ty = nx;
    double const px = cx + r * nx, py = cy + r * ny;
    cairo_move_to(cr, px + length * tx, py + length * ty);
    cairo_line_to(cr, px - 1 * tx + halfWidth * nx, py - 1 * ty + halfWidth * ny);
    cairo_line_to(cr, px - 1 * tx - halfWidth * nx, py - 1 * ty - halfWidth * ny);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// ---- Document toolbar -------------------------------------------------------------

void DrawWaypoint(cairo_t* cr)
{
    cairo_save(cr); // where the pin stands
    cairo_translate(cr, 16, 28.5);
    cairo_scale(cr, 1, 0.3);
    Circle(cr, 0, 0, 6);
    cairo_restore(cr);
    Set(cr, kInk, 0.25);
    cairo_fill(cr);
    double const cx = 16, cy = 12, r = 9, tipY = 28;
    double const spread = std::acos(r / (tipY - cy)); // from the tip's direction to each tangent point
    cairo_move_to(cr, cx, tipY);
    cairo_arc(cr, cx, cy, r, M_PI / 2 + spread, M_PI / 2 - spread + 2 * M_PI);
    cairo_close_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    FillOutlined(cr, kRed);
    Circle(cr, cx, cy, 3.5);
    Set(cr, kWhite);
    cairo_fill(cr);
}

void DrawRoute(cairo_t* cr)
{
    double const points[][2] = { { 6, 25 }, { 12, 12 }, { 20, 20 }, { 26, 7 } };
    cairo_move_to(cr, points[0][0], points[0][1]);
    for (auto const& p : points)
        cairo_line_to(cr, p[0], p[1]);
    Set(cr, kBlue);
    cairo_set_line_width(cr, 3);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    for (auto const& p : points) {
        Circle(cr, p[0], p[1], 3.5);
        FillOutlined(cr, kWhite);
    }
}

// The hand is drawn in two layers, so that its parts join into one outline: first
// every part grown by the outline in ink, then every part in white. The 1 px gaps
// between the fingers fill with ink and part them.
void HandParts(cairo_t* cr, double grow, bool ink)
{
    struct Box {
        double x, y, w, h, r;
    };
    Box const parts[] = {
        { 10, 7, 4, 14, 2 }, // index
        { 15, 4, 4, 17, 2 }, // middle
        { 20, 5, 4, 16, 2 }, // ring
        { 25, 9, 4, 12, 2 }, // little
        { 10, 17, 19, 12, 6 }, // palm
    };
    Set(cr, ink ? kInk : kWhite);
    for (Box const& b : parts) {
        RoundRect(cr, b.x - grow, b.y - grow, b.w + 2 * grow, b.h + 2 * grow, b.r + grow);
        cairo_fill(cr);
    }
    Line(cr, 13, 24, 6, 16); // thumb
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 4 + 2 * grow);
    cairo_stroke(cr);
}

void DrawHand(cairo_t* cr)
{
    HandParts(cr, kOutline, true);
    HandParts(cr, 0, false);
}

void DrawZoom(cairo_t* cr)
{
    Line(cr, 19.5, 19.5, 26.5, 26.5);
    Set(cr, kInk);
    cairo_set_line_width(cr, 5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    Circle(cr, 13, 13, 8.5);
    FillOutlined(cr, kPale, 1, 3);
    Set(cr, kInk);
    cairo_rectangle(cr, 9, 12, 8, 2);
    cairo_rectangle(cr, 12, 9, 2, 8);
    cairo_fill(cr);
}

void DrawRuler(cairo_t* cr)
{
    // What the tool draws: a ring at each end and the line between them.
    Set(cr, kRed);
    cairo_rectangle(cr, 10, 8, 12, 2);
    cairo_fill(cr);
    for (double x : { 6.5, 25.5 }) {
        Circle(cr, x, 9, 3.25);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    cairo_rectangle(cr, 3, 16, 26, 11);
    FillOutlined(cr, kYellow);
    Set(cr, kInk);
    for (int i = 0; i < 8; ++i) {
        cairo_rectangle(cr, 6 + 3 * i, 17, 1, i % 3 == 0 ? 5 : 3);
        cairo_fill(cr);
    }
}

// The note: a slip of paper with a folded corner and lines of writing. Its edges lie on
// even pixels, so that the half-size copy on the map stays as sharp.
void DrawNote(cairo_t* cr)
{
    cairo_move_to(cr, 5, 5);
    cairo_line_to(cr, 27, 5);
    cairo_line_to(cr, 27, 19);
    cairo_line_to(cr, 19, 27);
    cairo_line_to(cr, 5, 27);
    cairo_close_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    FillOutlined(cr, kPaper);
    cairo_move_to(cr, 27, 19);
    cairo_line_to(cr, 19, 19);
    cairo_line_to(cr, 19, 27);
    cairo_close_path(cr);
    FillOutlined(cr, kFold, 1, 1.5);
    Set(cr, kInk, 0.55);
    cairo_rectangle(cr, 10, 10, 12, 2);
    cairo_rectangle(cr, 10, 14, 12, 2);
    cairo_rectangle(cr, 10, 18, 6, 2);
    cairo_fill(cr);
}

void DrawRectangle(cairo_t* cr)
{
    cairo_rectangle(cr, 5, 8, 22, 16);
    FillOutlined(cr, kBlue, 0.3);
}

void DrawCircle(cairo_t* cr)
{
    Circle(cr, 16, 16, 11);
    FillOutlined(cr, kBlue, 0.3);
}

void DrawLine(cairo_t* cr)
{
    Line(cr, 7, 25, 25, 7);
    Set(cr, kInk);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    for (double x : { 7.0, 25.0 }) { // a handle on each end
        cairo_rectangle(cr, x - 3, 32 - x - 3, 6, 6);
        FillOutlined(cr, kWhite);
    }
}

void DrawInspector(cairo_t* cr)
{
    Circle(cr, 16, 16, 12.5);
    FillOutlined(cr, kNavy, 1, 1);
    Set(cr, kWhite);
    Circle(cr, 16, 9.5, 2.25);
    cairo_fill(cr);
    RoundRect(cr, 14, 13, 4, 11, 1);
    cairo_fill(cr);
}

void DrawDevice(cairo_t* cr)
{
    RoundRect(cr, 9, 1, 3, 6, 1.5); // antenna
    Set(cr, kInk);
    cairo_fill(cr);
    RoundRect(cr, 8, 6, 16, 23, 3);
    FillOutlined(cr, kSlate);
    cairo_rectangle(cr, 11, 9, 10, 10);
    Set(cr, kPale);
    cairo_fill(cr);
    cairo_move_to(cr, 12.5, 17.5); // a track on the screen and where the receiver is
    cairo_line_to(cr, 15, 13.5);
    cairo_line_to(cr, 17, 15.5);
    cairo_line_to(cr, 18.5, 12);
    Set(cr, kBlue);
    cairo_set_line_width(cr, 1.5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    Circle(cr, 18.5, 12, 1.75);
    Set(cr, kRed);
    cairo_fill(cr);
    Set(cr, kPale, 0.8);
    RoundRect(cr, 11, 22, 4, 3, 1);
    RoundRect(cr, 17, 22, 4, 3, 1);
    cairo_fill(cr);
}

void DrawSynchronise(cairo_t* cr)
{
    double const cx = 16, cy = 16, r = 10;
    Set(cr, kGreen);
    cairo_set_line_width(cr, 3);
    for (double start : { 200.0, 20.0 }) {
        double const a0 = start * M_PI / 180, a1 = (start + 125) * M_PI / 180;
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, r, a0, a1);
        cairo_stroke(cr);
        ArcArrowhead(cr, cx, cy, r, a1, 5, 5);
    }
}

// ---- Preferences toolbar ------------------------------------------------------------

void DrawGeneral(cairo_t* cr)
{
    int const teeth = 8;
    double const outer = 13, root = 10, cx = 16, cy = 16;
    for (int i = 0; i < teeth; ++i) {
        double const centre = (i + 0.5) * 2 * M_PI / teeth - M_PI / 2, step = 2 * M_PI / teeth;
        double const angles[] = { centre - step * 0.5, centre - step * 0.3, centre - step * 0.18, centre + step * 0.18,
            centre + step * 0.3 };
        double const radii[] = { root, root, outer, outer, root };
        for (int k = 0; k < 5; ++k) {
            double const x = cx + radii[k] * std::cos(angles[k]), y = cy + radii[k] * std::sin(angles[k]);
            if (i == 0 && k == 0)
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
        }
    }
    cairo_close_path(cr);
    Circle(cr, cx, cy, 4.5);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    FillOutlined(cr, kSteel);
    Circle(cr, cx, cy, 7.5);
    Set(cr, kInk, 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void DrawUpdate(cairo_t* cr)
{
    Circle(cr, 16, 16, 12.5);
    FillOutlined(cr, kBlue, 1, 1);
    Set(cr, kWhite);
    cairo_rectangle(cr, 14, 8, 4, 8);
    cairo_fill(cr);
    cairo_move_to(cr, 9.5, 15);
    cairo_line_to(cr, 22.5, 15);
    cairo_line_to(cr, 16, 21.5);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_rectangle(cr, 10, 23, 12, 2);
    cairo_fill(cr);
}

void DrawDebug(cairo_t* cr)
{
    Set(cr, kInk);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (double side : { -1.0, 1.0 }) {
        Line(cr, 16 + side * 7, 14, 16 + side * 12, 11); // legs
        Line(cr, 16 + side * 8, 19, 16 + side * 13, 19);
        Line(cr, 16 + side * 7, 24, 16 + side * 12, 28);
        cairo_stroke(cr);
        cairo_move_to(cr, 16 + side * 2, 6); // feelers
        cairo_curve_to(cr, 16 + side * 3, 4, 16 + side * 5, 3, 16 + side * 6, 2);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 2);
    }
    Circle(cr, 16, 9, 4);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, 16, 20);
    cairo_scale(cr, 7.5, 9);
    Circle(cr, 0, 0, 1);
    cairo_restore(cr);
    FillOutlined(cr, kRed);
    Set(cr, kInk);
    cairo_rectangle(cr, 15, 12, 2, 17);
    Circle(cr, 12.5, 17.5, 1.6);
    Circle(cr, 19.5, 17.5, 1.6);
    Circle(cr, 12.5, 23.5, 1.6);
    Circle(cr, 19.5, 23.5, 1.6);
    cairo_fill(cr);
}

// ---- Compass ------------------------------------------------------------------------

constexpr double kCompassSide = 96, kCompassCentre = kCompassSide / 2;

void DrawCompassBase(cairo_t* cr)
{
    double const c = kCompassCentre;
    cairo_pattern_t* bezel = cairo_pattern_create_linear(0, 0, 0, kCompassSide);
    cairo_pattern_add_color_stop_rgb(bezel, 0, 0.36, 0.44, 0.52);
    cairo_pattern_add_color_stop_rgb(bezel, 1, 0.18, 0.24, 0.30);
    Circle(cr, c, c, 46.5);
    cairo_set_source(cr, bezel);
    cairo_fill(cr);
    cairo_pattern_destroy(bezel);
    cairo_pattern_t* dial = cairo_pattern_create_radial(c, c - 10, 4, c, c, 40);
    cairo_pattern_add_color_stop_rgb(dial, 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(dial, 1, 0.89, 0.92, 0.94);
    Circle(cr, c, c, 40);
    cairo_set_source(cr, dial);
    cairo_fill(cr);
    cairo_pattern_destroy(dial);
    Set(cr, kInk);
    for (int degrees = 0; degrees < 360; degrees += 10) {
        if (degrees % 90 == 0)
            continue; // the letters stand there
        double const a = degrees * M_PI / 180, inner = degrees % 30 == 0 ? 32 : 35.5;
        Line(cr, c + inner * std::sin(a), c - inner * std::cos(a), c + 39 * std::sin(a), c - 39 * std::cos(a));
        cairo_set_line_width(cr, degrees % 30 == 0 ? 2 : 1);
        Set(cr, kInk, degrees % 30 == 0 ? 0.9 : 0.5);
        cairo_stroke(cr);
    }
    struct Letter {
        char const* text;
        double dx, dy;
    };
    for (Letter const& l :
        { Letter { "N", 0, -1 }, Letter { "E", 1, 0 }, Letter { "S", 0, 1 }, Letter { "W", -1, 0 } }) {
        Set(cr, l.text[0] == 'N' ? kRed : kInk);
        Text(cr, l.text, 13, c + 32 * l.dx, c + 32 * l.dy);
    }
}

void DrawCompassNeedle(cairo_t* cr)
{
    double const c = kCompassCentre, length = 23, half = 6;
    for (double direction : { -1.0, 1.0 }) { // north, then south
        double const tip = c + direction * length;
        cairo_move_to(cr, c, tip);
        cairo_line_to(cr, c - half, c);
        cairo_line_to(cr, c + half, c);
        cairo_close_path(cr);
        Set(cr, direction < 0 ? kRed : kWhite);
        cairo_fill(cr);
        cairo_move_to(cr, c, tip); // a darker half gives the needle a ridge
        cairo_line_to(cr, c + half, c);
        cairo_line_to(cr, c, c);
        cairo_close_path(cr);
        Set(cr, kInk, direction < 0 ? 0.22 : 0.12);
        cairo_fill(cr);
    }
    cairo_move_to(cr, c, c - length);
    cairo_line_to(cr, c + half, c);
    cairo_line_to(cr, c, c + length);
    cairo_line_to(cr, c - half, c);
    cairo_close_path(cr);
    Set(cr, kInk);
    cairo_set_line_width(cr, 1.25);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    Circle(cr, c, c, 4);
    cairo_fill(cr);
    Circle(cr, c, c, 1.5);
    Set(cr, kPale);
    cairo_fill(cr);
}

// ---- Inspector line pictures ----------------------------------------------------------

constexpr int kLineLeft = 5, kLineRight = 43, kLineMiddle = 8; // [px] in a 48 x 16 picture

void DrawWidth(cairo_t* cr, int width)
{
    Set(cr, kInk);
    cairo_rectangle(cr, kLineLeft, kLineMiddle - width / 2, kLineRight - kLineLeft, width);
    cairo_fill(cr);
}

// The dashes as the map draws them: dots 2 on 2 off, dashes 5 on 5 off, 2 px wide.
void DrawStyle(cairo_t* cr, int on, int off, int left, int right)
{
    Set(cr, kInk);
    for (int x = left; x < right; x += on + off)
        cairo_rectangle(cr, x, kLineMiddle - 1, std::min(on, right - x), 2);
    cairo_fill(cr);
}

std::vector<Image> const kImages = {
    { "DocWaypoint.png", 32, 32, DrawWaypoint },
    { "DocRoute.png", 32, 32, DrawRoute },
    { "DocHand.png", 32, 32, DrawHand },
    { "DocZoom.png", 32, 32, DrawZoom },
    { "DocRuler.png", 32, 32, DrawRuler },
    { "DocNote.png", 32, 32, DrawNote },
    { "DocRectangle.png", 32, 32, DrawRectangle },
    { "DocCircle.png", 32, 32, DrawCircle },
    { "DocLine.png", 32, 32, DrawLine },
    { "DocInspector.png", 32, 32, DrawInspector },
    { "DocDevice.png", 32, 32, DrawDevice },
    { "DocSynchronise.png", 32, 32, DrawSynchronise },
    { "PrefGeneral.png", 32, 32, DrawGeneral },
    { "PrefUpdate.png", 32, 32, DrawUpdate },
    { "PrefDebug.png", 32, 32, DrawDebug },
    { "MapNote.png", 32, 32, DrawNote },
    { "CompassBase.png", 96, 96, DrawCompassBase },
    { "CompassNeedle.png", 96, 96, DrawCompassNeedle },
    { "LineWidth1.png", 48, 16, [](cairo_t* cr) { DrawWidth(cr, 1); } },
    { "LineWidth2.png", 48, 16, [](cairo_t* cr) { DrawWidth(cr, 2); } },
    { "LineWidth4.png", 48, 16, [](cairo_t* cr) { DrawWidth(cr, 4); } },
    { "LineWidth8.png", 48, 16, [](cairo_t* cr) { DrawWidth(cr, 8); } },
    { "LineStyleSolid.png", 48, 16, [](cairo_t* cr) { DrawWidth(cr, 2); } },
    { "LineStyleDot.png", 48, 16, [](cairo_t* cr) { DrawStyle(cr, 2, 2, kLineLeft, kLineRight); } },
    { "LineStyleDash.png", 48, 16, [](cairo_t* cr) { DrawStyle(cr, 5, 5, kLineLeft + 1, kLineRight - 1); } },
};

} // namespace

cairo_surface_t* Render(Image const& image)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_t* cr = cairo_create(surface);
    image.draw(cr);
    cairo_destroy(cr);
    return surface;
}

// True when the PNG at path holds exactly the surface's pixels: such a file is left as it
// is, so that another PNG encoder's bytes for the same picture do not show as a change.
bool HasSamePixels(cairo_surface_t* surface, std::string const& path)
{
    cairo_surface_t* stored = cairo_image_surface_create_from_png(path.c_str());
    bool same = cairo_surface_status(stored) == CAIRO_STATUS_SUCCESS
        && cairo_image_surface_get_format(stored) == cairo_image_surface_get_format(surface)
        && cairo_image_surface_get_width(stored) == cairo_image_surface_get_width(surface)
        && cairo_image_surface_get_height(stored) == cairo_image_surface_get_height(surface);
    if (same) {
        cairo_surface_flush(surface);
        cairo_surface_flush(stored);
        int const width = cairo_image_surface_get_width(surface);
        for (int y = 0; same && y < cairo_image_surface_get_height(surface); ++y)
            same = std::memcmp(cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface),
                       cairo_image_surface_get_data(stored) + y * cairo_image_surface_get_stride(stored),
                       std::size_t(width) * 4)
                == 0;
    }
    cairo_surface_destroy(stored);
    return same;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <Resources folder> [contact sheet .png [map backdrop .png]]\n", argv[0]);
        return 2;
    }
    std::filesystem::path const folder = argv[1];
    for (Image const& image : kImages) {
        cairo_surface_t* surface = Render(image);
        std::string const path = (folder / image.name).string();
        cairo_status_t const status
            = HasSamePixels(surface, path) ? CAIRO_STATUS_SUCCESS : cairo_surface_write_to_png(surface, path.c_str());
        cairo_surface_destroy(surface);
        if (status != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    if (argc > 2)
        return DrawContactSheet(kImages, folder, argv[2], argc > 3 ? argv[3] : nullptr);
    return 0;
}
