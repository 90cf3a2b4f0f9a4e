#include "devices/CNMEAParser.h"
#include "devices/tests/support/DeviceTestSupport.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <gtest/gtest.h>
#include <utility>

namespace {

using tw::test::ExpectedFix;

using tw::test::Sentence;

std::vector<CGPSPosVelTime> Parse(CNMEAParser& parser, std::string const& text, std::size_t piece = SIZE_MAX)
{
    std::vector<CGPSPosVelTime> fixes;
    for (std::size_t offset = 0; offset < text.size(); offset += piece)
        parser.Feed(text.data() + offset, std::min(piece, text.size() - offset), fixes);
    parser.Flush(fixes);
    parser.Flush(fixes);
    return fixes;
}

void ExpectFix(CGPSPosVelTime const& fix, ExpectedFix const& expected)
{
    EXPECT_TRUE(fix.IsValid());
    EXPECT_EQ(fix.fix, CGPSPosVelTime::kFix3D);
    EXPECT_DOUBLE_EQ(fix.sample.GetTime().GetTimeInSeconds(), expected.seconds);
    EXPECT_NEAR(fix.sample.GetLatitude(), expected.latitude, 1e-9);
    EXPECT_NEAR(fix.sample.GetLongitude(), expected.longitude, 1e-9);
    EXPECT_NEAR(fix.sample.GetAltitude(), expected.altitude, 1e-9);
    EXPECT_NEAR(fix.GetSpeed(), expected.speed, 1e-6);
    EXPECT_NEAR(fix.heading, expected.course, 1e-9);
    EXPECT_NEAR(fix.sample.GetAccuracy(), expected.dilution * CNMEAParser::kUserRangeError, 1e-9);
    auto velocity = fix.sample.GetVelocity(nullptr);
    EXPECT_NEAR(velocity[0], expected.speed * std::sin(expected.course * M_PI / 180), 1e-6); // east
    EXPECT_NEAR(velocity[1], expected.speed * std::cos(expected.course * M_PI / 180), 1e-6); // north
}

TEST(NMEAParser, ReadsEveryFixOfTheWalkAsItsSidecarSays)
{
    std::string log = tw::test::ReadWalkLog();
    std::vector<ExpectedFix> expected = tw::test::ReadWalkSidecar();
    ASSERT_EQ(expected.size(), 60u);
    // Whole, and cut into pieces as a serial port delivers them: the same fixes.
    for (std::size_t piece : { SIZE_MAX, std::size_t(1), std::size_t(17) }) {
        CNMEAParser parser;
        std::vector<CGPSPosVelTime> fixes = Parse(parser, log, piece);
        ASSERT_EQ(fixes.size(), expected.size()) << piece;
        for (std::size_t i = 0; i < fixes.size(); ++i)
            ExpectFix(fixes[i], expected[i]);
        EXPECT_EQ(parser.GetValidSentences(), 180u);
        EXPECT_EQ(parser.GetBadSentences(), 0u);
    }
}

TEST(NMEAParser, DamagedInputIsDroppedAndTheRestRead)
{
    std::string const rmc = Sentence("GPRMC,120000.00,A,5742.5322,N,01158.4736,E,2.53,40.0,170524,,,A");
    std::string const gga = Sentence("GPGGA,120000.00,5742.5322,N,01158.4736,E,1,08,1.2,12.0,M,39.4,M,,");
    std::string badSum = rmc;
    badSum[badSum.size() - 3] = badSum[badSum.size() - 3] == '0' ? '1' : '0';
    std::string text = "\x01\xff garbage $$$ \r\n" // noise between sentences
        + badSum // wrong checksum
        + rmc.substr(0, 30) // cut short by the next sentence
        + Sentence("GPRMC,120001.00,A,9142.5322,N,01158.4736,E,2.53,40.0,170524,,,A") // latitude 91
        + Sentence("GPRMC,120002.00,A,5762.5322,N,01158.4736,E,2.53,40.0,170524,,,A") // 62 minutes
        + "$GPRMC," + std::string(300, 'x') + "\r\n" // longer than any sentence
        + "$GPRMC,120003.00,A,5742.5322,N,01158.4736,E,2.53,40.0,170524,,,A\r\n" // no checksum
        + "$GPGGA,1200\x07"
          "00*11\r\n" // a control character inside
        + rmc + gga;
    CNMEAParser parser;
    std::vector<CGPSPosVelTime> fixes = Parse(parser, text);
    ASSERT_EQ(fixes.size(), 1u);
    EXPECT_NEAR(fixes[0].sample.GetLatitude(), 57 + 42.5322 / 60, 1e-9);
    EXPECT_EQ(parser.GetValidSentences(), 4u);
    EXPECT_EQ(parser.GetBadSentences(), 3u + 7u); // each "$" of the noise starts a line that fails
}

TEST(NMEAParser, VoidMomentsSayTheFixIsLostAndOtherSentencesGiveNothing)
{
    std::string text = Sentence("GPRMC,120000.00,V,,,,,,,170524,,,N") + Sentence("GPGGA,120000.00,,,,,0,00,99.9,,,,,,")
        + Sentence("GPGSV,3,1,11,04,56,140,42,05,12,320,30,09,67,200,45,12,10,040,28")
        + Sentence("GPGGA,120001.00,5742.5322,N,01158.4736,E,0,00,,,M,,M,,") // quality 0 with a stale position
        + Sentence("GPRMC,120002.00,A,5742.5322,N,01158.4736,E,2.53,40.0,170524,,,N") // mode: not valid
        + Sentence("GPRMC,120003.00,A,5742.5322,N,01158.4736,E,2.53,40.0,170524,,,A");
    CNMEAParser parser;
    std::vector<CGPSPosVelTime> fixes = Parse(parser, text);
    EXPECT_EQ(parser.GetBadSentences(), 0u);
    ASSERT_EQ(fixes.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(fixes[i].IsValid()) << "lost at moment " << i;
    EXPECT_TRUE(fixes[3].IsValid()) << "the fix returns";
}

TEST(NMEAParser, EverySatelliteSystemsTalkerIsRead)
{
    // GPS, GLONASS, Galileo, BeiDou under both its talkers, QZSS, NavIC and combined.
    for (char const* talker : { "GP", "GL", "GA", "GB", "BD", "GQ", "GI", "GN" }) {
        CNMEAParser parser;
        auto fixes = Parse(parser,
            Sentence(std::string(talker) + "RMC,120003.00,A,5742.5322,S,01158.4736,W,0.00,,170524,,,A")
                + Sentence(std::string(talker) + "GGA,120003.00,5742.5322,S,01158.4736,W,1,08,1.2,12.0,M,39.4,M,,"));
        ASSERT_EQ(fixes.size(), 1u) << talker;
        EXPECT_NEAR(fixes[0].sample.GetLatitude(), -(57 + 42.5322 / 60), 1e-9) << talker;
        EXPECT_NEAR(fixes[0].sample.GetLongitude(), -(11 + 58.4736 / 60), 1e-9) << talker;
        EXPECT_EQ(fixes[0].fix, CGPSPosVelTime::kFix3D) << talker;
    }
    // Talkers of other instruments are not receivers' positions.
    CNMEAParser parser;
    EXPECT_TRUE(Parse(parser, Sentence("IIRMC,120003.00,A,5742.5322,S,01158.4736,W,0.00,,170524,,,A")).empty());
}

TEST(NMEAParser, AMomentWaitsForItsPartnerOrOneFlush)
{
    CNMEAParser parser;
    std::vector<CGPSPosVelTime> fixes;
    std::string rmc = Sentence("GNRMC,120000.00,A,5742.5322,N,01158.4736,E,2.53,40.0,170524,,,A");
    parser.Feed(rmc.data(), rmc.size(), fixes);
    EXPECT_TRUE(fixes.empty());
    parser.Flush(fixes);
    EXPECT_TRUE(fixes.empty()); // the GGA may still come
    parser.Flush(fixes);
    ASSERT_EQ(fixes.size(), 1u); // a receiver that sends RMC alone
    // GGA alone takes the date of the last RMC.
    std::string gga = Sentence("GNGGA,120001.00,5742.5322,N,01158.4736,E,2,08,0.8,3.5,M,39.4,M,,");
    parser.Feed(gga.data(), gga.size(), fixes);
    std::string next = Sentence("GNGGA,120002.00,5742.5322,N,01158.4736,E,2,08,0.8,3.5,M,39.4,M,,");
    parser.Feed(next.data(), next.size(), fixes); // a new moment ends the last one
    ASSERT_EQ(fixes.size(), 2u);
    EXPECT_DOUBLE_EQ(fixes[1].sample.GetTime().GetTimeInSeconds() - fixes[0].sample.GetTime().GetTimeInSeconds(), 1.0);
    EXPECT_DOUBLE_EQ(fixes[1].sample.GetAltitude(), 3.5);
}

TEST(NMEAParser, ChecksumsAndDates)
{
    EXPECT_TRUE(CNMEAParser::IsValidSentence("$GPGSA,A,3,04,05,09,12,17,20,24,28,,,,,1.8,1.2,1.2*38"));
    EXPECT_TRUE(CNMEAParser::IsValidSentence("$GPGSA,A,3,04,05,09,12,17,20,24,28,,,,,1.8,1.2,1.2*38"));
    EXPECT_FALSE(CNMEAParser::IsValidSentence("$GPGSA,A,3,04,05,09,12,17,20,24,28,,,,,1.8,1.2,1.3*38"));
    EXPECT_FALSE(CNMEAParser::IsValidSentence("$GPGSA,A,3*3"));
    EXPECT_FALSE(CNMEAParser::IsValidSentence("GPGSA,A,3*38"));
    EXPECT_FALSE(CNMEAParser::IsValidSentence("$*00x"));
    EXPECT_EQ(CNMEAParser::DaysSinceReference(2001, 1, 1), 0);
    EXPECT_EQ(CNMEAParser::DaysSinceReference(2001, 3, 1), 59);
    EXPECT_EQ(CNMEAParser::DaysSinceReference(2004, 3, 1), 365 * 3 + 31 + 29);
    EXPECT_EQ(CNMEAParser::DaysSinceReference(1999, 12, 31), -367);
}

TEST(NMEAParser, TwoDigitYearsBefore80AreThisCenturyFrom80OnTheLast)
{
    for (auto const& [date, days] : { std::pair { "311279", 28853 }, std::pair { "010180", -7671 } }) {
        CNMEAParser parser;
        auto const fixes = Parse(parser,
            Sentence(std::string("GPRMC,120000.00,A,5742.5322,N,01158.4736,E,2.53,40.0,") + date + ",,,A"));
        ASSERT_EQ(fixes.size(), 1u) << date;
        EXPECT_DOUBLE_EQ(fixes[0].sample.GetTime().GetTimeInSeconds(), days * 86400.0 + 12 * 3600) << date;
    }
}

// Every day of a leap year and of the years around it, February's last days and the turn of
// the century included: each fix carries its own date, counted independently by the C library.
TEST(NMEAParser, EveryDayOfTheYearGivesItsOwnDate)
{
    for (int year : { 1999, 2000, 2023, 2024, 2025, 2079 }) {
        std::string text;
        std::vector<double> expected;
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= 31; ++day) {
                std::tm civil {};
                civil.tm_year = year - 1900;
                civil.tm_mon = month - 1;
                civil.tm_mday = day;
                civil.tm_hour = 12;
                std::time_t const unix = timegm(&civil);
                if (civil.tm_mday != day) // 31 April or 30 February: no such day
                    continue;
                char date[8];
                std::snprintf(date, sizeof date, "%02d%02d%02d", day, month, year % 100);
                // The time of day differs for every date, so that each sentence is a moment of its own.
                char time[16];
                std::snprintf(time, sizeof time, "12%02d%02d.00", month, day);
                text += Sentence(std::string("GPRMC,") + time + ",A,5742.5322,N,01158.4736,E,2.53,40.0," + date + ",,,A");
                // Seconds since 2001 (the Unix clock's 978,307,200), at 12:MM:DD.
                expected.push_back(double(unix - 978307200) + month * 60 + day);
            }
        CNMEAParser parser;
        std::vector<CGPSPosVelTime> const fixes = Parse(parser, text);
        int const days = (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 366 : 365;
        ASSERT_EQ(fixes.size(), std::size_t(days)) << year;
        for (std::size_t i = 0; i < fixes.size(); ++i)
            ASSERT_DOUBLE_EQ(fixes[i].sample.GetTime().GetTimeInSeconds(), expected[i]) << year << " day " << i + 1;
    }
}

// GGA gives the height: a fix whose GGA has none, or that has only an RMC, is flat.
TEST(NMEAParser, AFixWithoutAltitudeIsTwoDimensional)
{
    std::string const rmc = Sentence("GPRMC,120000.00,A,5742.5322,N,01158.4736,E,2.53,40.0,170524,,,A");
    struct Case {
        std::string gga;
        UInt32 fix;
    } const cases[] = {
        { Sentence("GPGGA,120000.00,5742.5322,N,01158.4736,E,1,08,1.2,12.0,M,39.4,M,,"), CGPSPosVelTime::kFix3D },
        { Sentence("GPGGA,120000.00,5742.5322,N,01158.4736,E,1,03,2.5,,M,,M,,"), CGPSPosVelTime::kFix2D },
        { "", CGPSPosVelTime::kFix2D },
    };
    for (Case const& c : cases) {
        CNMEAParser parser;
        std::vector<CGPSPosVelTime> const fixes = Parse(parser, rmc + c.gga);
        ASSERT_EQ(fixes.size(), 1u) << c.gga;
        EXPECT_TRUE(fixes[0].IsValid()) << c.gga;
        EXPECT_EQ(fixes[0].fix, c.fix) << c.gga;
        EXPECT_NEAR(fixes[0].sample.GetLatitude(), 57 + 42.5322 / 60, 1e-9);
    }
}

} // namespace
