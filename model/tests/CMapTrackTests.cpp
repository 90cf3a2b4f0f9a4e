#include "mapdata/CMapManager.h"
#include "model/tests/ModelTestSupport.h"

#include <gtest/gtest.h>

using namespace tw::test;

namespace {

constexpr double kStart = 644198400; // 2021-06-01T00:00:00Z [s since 2001]

CCoordinatePVT Sample(double latitude, double longitude, double seconds, double east = 0, double north = 0)
{
    return CCoordinatePVT(CCoordinate(latitude, longitude), CDateTime(seconds), { east, north, 0 });
}

} // namespace

TEST(CMapTrack, WorksOutLengthDurationAndSpeedsFromTimedSamples)
{
    CMapTrack track;
    // Due north along a meridian: 0.01° of latitude is about 1113 m.
    track.SetSamples({ Sample(0, 0, kStart), Sample(0.01, 0, kStart + 100), Sample(0.02, 0, kStart + 400),
        Sample(0.02, 0, kStart + 400) });
    CMapManager manager;
    double leg = manager.GetDistance(CCoordinate(0, 0), CCoordinate(0.01, 0));
    EXPECT_NEAR(track.GetLength(), 2 * leg, 1e-6);
    EXPECT_TRUE(track.IsTimeKnown());
    ASSERT_TRUE(track.IsVelocityKnown());
    EXPECT_DOUBLE_EQ(track.GetDuration(), 400);
    EXPECT_NEAR(track.GetVelocityMax(), leg / 100, 0.001); // the local step is close to the geodesic
    EXPECT_NEAR(track.GetVelocityMin(), leg / 300, 0.001); // the repeated fix keeps the last speed
    EXPECT_NEAR(track.GetVelocityAvg(), 2 * leg / 400, 1e-6);
    // The derived velocity of a northward step points north.
    auto velocity = track.GetSamples()[1].GetVelocity(nullptr);
    EXPECT_NEAR(velocity[0], 0, 1e-9);
    EXPECT_GT(velocity[1], 0);

    auto bounds = track.GetBounds();
    EXPECT_DOUBLE_EQ(bounds.GetTopLeft().GetLatitude(), 0.02);
    EXPECT_DOUBLE_EQ(bounds.GetBottomRight().GetLatitude(), 0);
}

TEST(CMapTrack, SpeedsDueEastAtHighLatitudeAreTheDistanceOverTheTime)
{
    // A parallel at 57° N is about half as long as the equator: a missing cos(latitude) would
    // nearly double every east-west speed.
    CMapTrack track;
    track.SetSamples({ Sample(57, 11.90, kStart), Sample(57, 11.91, kStart + 60), Sample(57, 11.93, kStart + 120) });
    ASSERT_TRUE(track.IsVelocityKnown());
    CMapManager manager;
    double const first = manager.GetDistance(CCoordinate(57, 11.90), CCoordinate(57, 11.91)) / 60;
    double const second = manager.GetDistance(CCoordinate(57, 11.91), CCoordinate(57, 11.93)) / 60;
    std::vector<double> speeds;
    for (CCoordinatePVT const& sample : track.GetSamples()) {
        double speed = 0;
        auto const velocity = sample.GetVelocity(&speed);
        EXPECT_GT(velocity[0], 0) << "due east";
        EXPECT_NEAR(velocity[1], 0, 1e-6);
        speeds.push_back(speed);
    }
    EXPECT_NEAR(speeds[1], first, first * 1e-4);
    EXPECT_NEAR(speeds[2], second, second * 1e-4);
    EXPECT_NEAR(speeds[0], speeds[1], 1e-9) << "the first sample takes the step after it";
    EXPECT_NEAR(track.GetVelocityMax(), second, second * 1e-4);
}

TEST(CMapTrack, KnowsWhenTimesAndSpeedsAreMissing)
{
    CMapTrack untimed;
    untimed.SetSamples({ Sample(0, 0, 0), Sample(0, 0.01, 0) });
    EXPECT_FALSE(untimed.IsTimeKnown());
    EXPECT_FALSE(untimed.IsVelocityKnown());
    EXPECT_DOUBLE_EQ(untimed.GetVelocityMax(), 0);
    EXPECT_GT(untimed.GetLength(), 1000);

    // Times that go back are no times at all.
    CMapTrack backwards;
    backwards.SetSamples({ Sample(0, 0, kStart + 10), Sample(0, 0.01, kStart) });
    EXPECT_FALSE(backwards.IsTimeKnown());
    EXPECT_DOUBLE_EQ(backwards.GetDuration(), 0);

    // Recorded velocities count without times.
    CMapTrack recorded;
    recorded.SetSamples({ Sample(0, 0, 0, 3, 4), Sample(0, 0.01, 0, 0, 1) });
    EXPECT_TRUE(recorded.IsVelocityKnown());
    EXPECT_DOUBLE_EQ(recorded.GetVelocityMax(), 5);
    EXPECT_DOUBLE_EQ(recorded.GetVelocityMin(), 1);
    EXPECT_DOUBLE_EQ(recorded.GetVelocityAvg(), 3); // the mean of the samples' speeds

    CMapTrack empty;
    EXPECT_FALSE(empty.IsTimeKnown());
    EXPECT_TRUE(empty.GetBounds().IsEmpty());
    EXPECT_DOUBLE_EQ(empty.GetLength(), 0);
}

TEST(CMapTrack, AddingSamplesKeepsTheStatisticsCurrent)
{
    CMapTrack track;
    track.AddSample(Sample(0, 0, kStart));
    EXPECT_TRUE(track.IsTimeKnown());
    EXPECT_FALSE(track.IsVelocityKnown());
    track.AddSample(Sample(0, 0.001, kStart + 10));
    ASSERT_TRUE(track.IsVelocityKnown());
    double first = track.GetLength();
    EXPECT_GT(first, 100);
    track.AddSample(Sample(0, 0.002, kStart + 20));
    EXPECT_NEAR(track.GetLength(), 2 * first, 1e-6);
    EXPECT_NEAR(track.GetVelocityAvg(), first / 10, 1e-6);
    // A sample without a time ends the known time, and with it the derived speeds.
    track.AddSample(Sample(0, 0.003, 0));
    EXPECT_FALSE(track.IsTimeKnown());
    EXPECT_FALSE(track.IsVelocityKnown());
}

// A clock set back once, or a log that starts over, costs that step its time, not the track.
TEST(CMapTrack, ASingleStepBackInTimeLeavesTheTrackTimed)
{
    std::vector<CCoordinatePVT> const looped { Sample(0, 0, kStart), Sample(0, 0.001, kStart + 10),
        Sample(0, 0.002, kStart + 20), Sample(0, 0.003, kStart + 5), Sample(0, 0.004, kStart + 15) };
    CMapTrack track;
    track.SetSamples(looped);
    EXPECT_TRUE(track.IsTimeKnown());
    EXPECT_TRUE(track.IsVelocityKnown());
    EXPECT_DOUBLE_EQ(track.GetDuration(), 30);
    EXPECT_GT(track.GetVelocityMin(), 0);
    // Recorded one by one, the same.
    CMapTrack recorded;
    for (CCoordinatePVT const& sample : looped)
        recorded.AddSample(sample);
    EXPECT_TRUE(recorded.IsTimeKnown());
    EXPECT_DOUBLE_EQ(recorded.GetDuration(), 30);
    EXPECT_NEAR(recorded.GetVelocityAvg(), track.GetVelocityAvg(), 1e-9);

    // One sample's time wrong: the time runs on from the sample before it.
    CMapTrack glitch;
    glitch.SetSamples({ Sample(0, 0, kStart), Sample(0, 0.001, kStart + 10), Sample(0, 0.002, kStart + 5),
        Sample(0, 0.003, kStart + 30) });
    EXPECT_TRUE(glitch.IsTimeKnown());
    EXPECT_DOUBLE_EQ(glitch.GetDuration(), 30);

    // Two steps back in a row are no order at all; nor is a track whose first step goes back.
    CMapTrack twice;
    twice.SetSamples({ Sample(0, 0, kStart), Sample(0, 0.001, kStart + 10), Sample(0, 0.002, kStart + 5),
        Sample(0, 0.003, kStart + 2) });
    EXPECT_FALSE(twice.IsTimeKnown());
    EXPECT_DOUBLE_EQ(twice.GetDuration(), 0);
    CMapTrack first;
    first.SetSamples({ Sample(0, 0, kStart + 10), Sample(0, 0.001, kStart), Sample(0, 0.002, kStart + 20) });
    EXPECT_FALSE(first.IsTimeKnown());
}

// The rule that takes a step back out of the time takes it out of the length and the speeds
// too: the average never exceeds the highest speed, whatever the clock did.
TEST(CMapTrack, EveryStatisticLeavesOutTheSameStepsBack)
{
    CMapManager manager;
    // A receiver recording 1.7 m/s due north whose clock started over an hour back while the
    // walker went on 5.5 km without a fix.
    std::vector<CCoordinatePVT> restarted;
    double legs = 0;
    for (int i = 0; i < 20; ++i) {
        double const latitude = (i < 10 ? 0 : 0.05) + i * 0.000153;
        double const seconds = kStart + (i < 10 ? 0 : -3600) + i * 10;
        restarted.push_back(Sample(latitude, 0, seconds, 0, 1.7));
        if (i > 0 && i != 10)
            legs += manager.GetDistance(restarted[i - 1], restarted[i]);
    }
    CMapTrack track;
    track.SetSamples(restarted);
    ASSERT_TRUE(track.IsTimeKnown());
    EXPECT_DOUBLE_EQ(track.GetDuration(), 180);
    EXPECT_NEAR(track.GetLength(), legs, 1e-6) << "the gap without time adds no distance";
    EXPECT_NEAR(track.GetVelocityMax(), 1.7, 1e-9);
    EXPECT_LE(track.GetVelocityAvg(), track.GetVelocityMax() * 1.01);
    EXPECT_NEAR(track.GetVelocityAvg(), legs / 180, 1e-9);
    CMapTrack live;
    for (CCoordinatePVT const& sample : restarted)
        live.AddSample(sample);
    EXPECT_NEAR(live.GetLength(), legs, 1e-6) << "recorded one by one, the same";
    EXPECT_NEAR(live.GetVelocityAvg(), track.GetVelocityAvg(), 1e-9);

    // One fix with a wrong time and a wild position, speeds derived from the times: it is
    // passed over by the length, the duration and the speeds alike.
    std::vector<CCoordinatePVT> const glitch { Sample(0, 0, kStart), Sample(0, 0.001, kStart + 10),
        Sample(0, 0.002, kStart + 20), Sample(0.01, 0.002, kStart + 5), Sample(0, 0.003, kStart + 30),
        Sample(0, 0.004, kStart + 40) };
    double const step = manager.GetDistance(CCoordinate(0, 0), CCoordinate(0, 0.001));
    for (bool oneByOne : { false, true }) {
        CMapTrack wild;
        if (oneByOne)
            for (CCoordinatePVT const& sample : glitch)
                wild.AddSample(sample);
        else
            wild.SetSamples(glitch);
        SCOPED_TRACE(oneByOne ? "added one by one" : "set at once");
        ASSERT_TRUE(wild.IsTimeKnown());
        ASSERT_TRUE(wild.IsVelocityKnown());
        EXPECT_DOUBLE_EQ(wild.GetDuration(), 40);
        EXPECT_NEAR(wild.GetLength(), 4 * step, 1e-3);
        EXPECT_NEAR(wild.GetVelocityMax(), step / 10, 1e-3);
        EXPECT_NEAR(wild.GetVelocityAvg(), 4 * step / 40, 1e-3);
        EXPECT_LE(wild.GetVelocityAvg(), wild.GetVelocityMax() + 1e-9);
    }
    // A last step back says nothing yet of why: it counts neither time nor distance.
    CMapTrack pending;
    pending.SetSamples({ Sample(0, 0, kStart), Sample(0, 0.001, kStart + 10), Sample(0.01, 0.001, kStart + 5) });
    EXPECT_DOUBLE_EQ(pending.GetDuration(), 10);
    EXPECT_NEAR(pending.GetLength(), step, 1e-3);
    EXPECT_LE(pending.GetVelocityAvg(), pending.GetVelocityMax() + 1e-9);
}

TEST(CMapTrack, TextsUseTheMapManagersUnits)
{
    CMapTrack track;
    track.SetSamples({ Sample(0, 0, kStart), Sample(0.1, 0, kStart + 3725) });
    CMapManager manager;
    EXPECT_EQ(track.GetDistance(), manager.GetDistanceString(track.GetLength(), kMapUnitsUser));
    EXPECT_EQ(track.GetTime(), manager.GetTimeString(CDateTime(3725), kDateFormatDuration));
    CMapTrack untimed;
    untimed.SetSamples({ Sample(0, 0, 0) });
    EXPECT_EQ(untimed.GetTime(), manager.GetTimeString(CDateTime(), kDateFormatDuration)); // unknown
}

TEST(CMapTrack, ReadsBackItsSamplesAndRefusesDamagedOnes)
{
    CMapTrack track;
    track.SetName("Ride");
    track.SetSamples({ CCoordinatePVT(CCoordinate(57.123456789, 11.987654321, 42.5), CDateTime(kStart + 0.5),
                           { 1.5, -2.25, 0.125 }, 3),
        Sample(57.2, 12, kStart + 60) });
    CFDictionary properties;
    ASSERT_EQ(track.EncodeProperties(properties), noErr);
    CMapTrack read;
    ASSERT_EQ(read.DecodeProperties(properties), noErr);
    ASSERT_EQ(read.GetSamples().size(), 2u);
    CCoordinatePVT const& sample = read.GetSamples()[0];
    EXPECT_DOUBLE_EQ(sample.GetLatitude(), 57.123456789);
    EXPECT_DOUBLE_EQ(sample.GetAltitude(), 42.5);
    EXPECT_DOUBLE_EQ(sample.GetTime().GetTimeInSeconds(), kStart + 0.5);
    EXPECT_DOUBLE_EQ(sample.GetVelocity(nullptr)[1], -2.25);
    EXPECT_DOUBLE_EQ(sample.GetAccuracy(), 3);
    EXPECT_TRUE(read.IsTimeKnown());
    EXPECT_STREQ(read.GetName().GetUTF8(), "Ride");

    for (char const* samples : { "57 11\n91 0\n", "57\n", "57 11 0 0 0 0 0 0 9\n", "57 x\n", "57 11 0 0 1e6\n",
             "57 11 0 0 0 0 0 -1\n", "inf 11\n" }) {
        properties.SetValueString(CMapTrack::kKeySamples, samples);
        EXPECT_EQ(CMapTrack().DecodeProperties(properties), paramErr) << samples;
    }
    properties.SetValueString(CMapTrack::kKeySamples, "\n  \n57 11\r\n");
    CMapTrack lenient;
    ASSERT_EQ(lenient.DecodeProperties(properties), noErr);
    EXPECT_EQ(lenient.GetSamples().size(), 1u);
}
