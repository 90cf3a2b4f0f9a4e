#include "foundation/CCoordinate.h"
#include "foundation/CCoordinatePVT.h"
#include "foundation/CCoordinateRect.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(CCoordinate, TextRoundTripsWithinSixDecimals)
{
    CCoordinate c(51.477928, -0.001545, 46.5);
    EXPECT_STREQ(c.GetString().GetUTF8(), "{51.477928, -0.001545, 46.500000}");
    CCoordinate back;
    back.SetString(c.GetString());
    EXPECT_EQ(back, c);

    CCoordinate spaced;
    spaced.SetString("  {1.5,2.5 ,   -3}");
    EXPECT_EQ(spaced, CCoordinate(1.5, 2.5, -3));
}

TEST(CCoordinate, IncompleteOrNonFiniteTextGivesZero)
{
    for (char const* text : { "{1, 2}", "1, 2, 3", "{1, x, 3}", "", "{nan, 1, 2}", "{1, inf, 2}" }) {
        CCoordinate c(10, 20, 30);
        c.SetString(text);
        EXPECT_EQ(c, CCoordinate(0, 0, 0)) << text;
    }
}

TEST(CCoordinate, EqualityUsesRelativeTolerance)
{
    EXPECT_EQ(CCoordinate(45, 90, 100), CCoordinate(45 * (1 + 5e-9), 90, 100));
    EXPECT_NE(CCoordinate(45, 90, 100), CCoordinate(45 * (1 + 5e-8), 90, 100));
    EXPECT_NE(CCoordinate(45, 90, 100), CCoordinate(45, 90, 100.001));
    // Near zero the relative test alone would call every pair unequal.
    EXPECT_EQ(CCoordinate(0, 0, 0), CCoordinate(1e-14, -1e-14, 0));
    EXPECT_NE(CCoordinate(0, 0, 0), CCoordinate(1e-6, 0, 0));
}

namespace {

CString DegreesMinutes(double degrees, bool latitude)
{
    CString text;
    text.Format("%c%g", latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E'), std::fabs(degrees));
    return text;
}

bool ParseHemisphere(CString const& text, bool, double& degrees)
{
    std::string s = text.GetUTF8();
    if (s.size() < 2 || (s[0] != 'N' && s[0] != 'S'))
        return false;
    degrees = std::atof(s.c_str() + 1) * (s[0] == 'S' ? -1 : 1);
    return true;
}

} // namespace

TEST(CCoordinate, LatitudeTextGoesThroughTheInstalledHooks)
{
    CCoordinate c(12.5, -3.25);
    EXPECT_STREQ(c.GetLatitudeString().GetUTF8(), "12.500000");
    EXPECT_TRUE(c.SetLongitudeString(" 7.75 "));
    EXPECT_DOUBLE_EQ(c.GetLongitude(), 7.75);
    EXPECT_FALSE(c.SetLatitudeString("north"));
    EXPECT_FALSE(c.SetLatitudeString("91"));
    EXPECT_FALSE(c.SetLongitudeString("-180.5"));
    EXPECT_DOUBLE_EQ(c.GetLatitude(), 12.5);

    CCoordinate::SetTextHooks(DegreesMinutes, ParseHemisphere);
    EXPECT_STREQ(c.GetLatitudeString().GetUTF8(), "N12.5");
    EXPECT_TRUE(c.SetLatitudeString("S33.5"));
    EXPECT_DOUBLE_EQ(c.GetLatitude(), -33.5);
    EXPECT_FALSE(c.SetLatitudeString("S95"));
    CCoordinate::SetTextHooks(nullptr, nullptr);
    EXPECT_STREQ(c.GetLatitudeString().GetUTF8(), "-33.500000");
}

TEST(CCoordinatePVT, GroundSpeedFromVelocity)
{
    CCoordinatePVT sample(CCoordinate(1, 2, 3), CDateTime(1000), { 3, 4, 12 }, 5);
    double speed = 0;
    auto velocity = sample.GetVelocity(&speed);
    EXPECT_DOUBLE_EQ(speed, 5);
    EXPECT_DOUBLE_EQ(velocity[2], 12);
    EXPECT_EQ(sample.GetTime(), CDateTime(1000));
    EXPECT_DOUBLE_EQ(sample.GetAccuracy(), 5);
    sample.GetVelocity(nullptr);
}

TEST(CCoordinateRect, UnionStartsFromAPointAndIgnoresEmptyOperands)
{
    CCoordinateRect rect;
    EXPECT_TRUE(rect.IsEmpty());
    rect.Union(CCoordinateRect()); // empty with empty
    EXPECT_TRUE(rect.IsEmpty());

    rect.Union(CCoordinate(10, 20));
    EXPECT_FALSE(rect.IsEmpty()); // one point: zero area, not empty
    EXPECT_EQ(rect.GetTopLeft(), CCoordinate(10, 20));
    EXPECT_EQ(rect.GetBottomRight(), CCoordinate(10, 20));

    rect.Union(CCoordinate(-5, 30));
    rect.Union(CCoordinateRect());
    EXPECT_EQ(rect.GetTopLeft(), CCoordinate(10, 20));
    EXPECT_EQ(rect.GetBottomRight(), CCoordinate(-5, 30));

    CCoordinateRect other(CCoordinate(40, -10), CCoordinate(35, 0));
    rect.Union(other);
    EXPECT_EQ(rect.GetTopLeft(), CCoordinate(40, -10));
    EXPECT_EQ(rect.GetBottomRight(), CCoordinate(-5, 30));
    EXPECT_EQ(rect.GetCentre(), CCoordinate(17.5, 10));

    CCoordinateRect empty;
    empty.Union(other);
    EXPECT_EQ(empty.GetTopLeft(), other.GetTopLeft());
}

TEST(CCoordinateRect, InsetMovesCornersAndStopsAtTheCentre)
{
    CCoordinateRect rect(CCoordinate(10, 0), CCoordinate(0, 20));
    rect.Inset(1, 2);
    EXPECT_EQ(rect.GetTopLeft(), CCoordinate(9, 2));
    EXPECT_EQ(rect.GetBottomRight(), CCoordinate(1, 18));
    rect.Inset(-1, -2);
    EXPECT_EQ(rect.GetTopLeft(), CCoordinate(10, 0));

    rect.Inset(8, 15); // more than half of each side
    EXPECT_EQ(rect.GetTopLeft(), CCoordinate(5, 10));
    EXPECT_EQ(rect.GetBottomRight(), CCoordinate(5, 10));

    CCoordinateRect empty;
    empty.Inset(-1, -1);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(CCoordinateRect, BoundsContainmentAndIntersection)
{
    SGBounds bounds { -10, 40, 5, 60 };
    CCoordinateRect rect(bounds);
    EXPECT_EQ(rect.GetTopLeft(), CCoordinate(60, -10));
    SGBounds back = rect.GetSGBounds();
    EXPECT_EQ(back.xmin, -10);
    EXPECT_EQ(back.ymin, 40);
    EXPECT_EQ(back.xmax, 5);
    EXPECT_EQ(back.ymax, 60);

    EXPECT_TRUE(rect.Contains(CCoordinate(50, 0)));
    EXPECT_FALSE(rect.Contains(CCoordinate(61, 0)));
    EXPECT_TRUE(rect.Intersects(CCoordinateRect(CCoordinate(45, 4), CCoordinate(30, 20))));
    EXPECT_FALSE(rect.Intersects(CCoordinateRect(CCoordinate(39, -20), CCoordinate(30, 20))));
    EXPECT_FALSE(rect.Intersects(CCoordinateRect()));
    // Touching on each side intersects; a hundredth of a degree apart does not.
    for (double gap : { 0.0, 0.01 }) {
        SGBounds const sides[] = { { -20, 45, -10 - gap, 50 }, { 5 + gap, 45, 15, 50 }, { -5, 30, 0, 40 - gap },
            { -5, 60 + gap, 0, 70 } };
        for (SGBounds const& side : sides) {
            EXPECT_EQ(rect.Intersects(CCoordinateRect(side)), gap == 0) << side.xmin << "," << side.ymin << " " << gap;
            EXPECT_EQ(CCoordinateRect(side).Intersects(rect), gap == 0) << side.xmin << "," << side.ymin << " " << gap;
        }
    }
}
