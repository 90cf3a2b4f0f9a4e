#pragma once

// A recorded track: samples in time order, each a position with its fix time,
// velocity and accuracy, stored under "Samples". When the samples carry no
// velocities but do carry times, each sample's velocity is derived from its
// neighbour, so speeds are known for every timed track. The statistics (length
// on the WGS84 ellipsoid, duration, speeds) are worked out on first use and
// kept until the samples change. Main thread only.

#include "foundation/CCoordinatePVT.h"
#include "foundation/CCoordinateRect.h"
#include "model/CMapObject.h"

#include <optional>
#include <vector>

class CMapTrack : public CMapObject {
public:
    static constexpr char const* kKeySamples = "Samples";

    CMapTrack();

    std::vector<CCoordinatePVT> const& GetSamples() const { return mSamples; }
    // Each broadcasts "mmod".
    void SetSamples(std::vector<CCoordinatePVT> samples);
    void AddSample(CCoordinatePVT const& sample);

    CCoordinateRect GetBounds() const { return mBounds; }
    // Every sample has a fix time and the times go forward, but for single steps back
    // (a receiver's clock set back, a log starting over). A step back counts no time and no
    // distance, and a sample whose own time was wrong is left out of every statistic.
    bool IsTimeKnown() const { return mTimeKnown; }
    // The samples carry velocities, recorded or derived from their times.
    bool IsVelocityKnown() const { return mVelocityKnown; }
    double GetVelocityMin() const; // [m/s]; 0 when unknown
    double GetVelocityMax() const; // [m/s]
    // Length over duration when the time is known, else the mean of the samples' speeds.
    double GetVelocityAvg() const; // [m/s]
    double GetLength() const; // [m]
    double GetDuration() const; // [s]; 0 when the time is unknown
    // The duration and the length as display text (the user's units).
    CString GetTime() const;
    CString GetDistance() const;

    OSStatus EncodeProperties(CFDictionary& properties) const override;
    OSStatus DecodeProperties(CFDictionary const& properties) override;

private:
    struct Statistics {
        double length = 0; // [m]
        double velocityMin = 0; // [m/s]
        double velocityMax = 0;
        double velocityAvg = 0;
    };

    static constexpr std::size_t kNoStep = std::size_t(-1);

    void Rebuild();
    void DeriveVelocity(std::size_t index, std::size_t from);
    void StepTime(std::size_t index); // the step from the sample before into the known time
    // The sample the step into index counts from, given whether the step before went back.
    std::size_t StepFrom(std::size_t index, bool afterBack) const;
    Statistics const& GetStatistics() const;

    std::vector<CCoordinatePVT> mSamples;
    CCoordinateRect mBounds;
    bool mTimeKnown = false;
    bool mLastStepBack = false; // the last step went back in time
    std::size_t mLastStepFrom = 0; // StepFrom of the last sample
    double mDuration = 0; // [s] the steps forward in time, summed
    bool mVelocityKnown = false;
    bool mVelocityDerived = false; // the velocities are ours, not the receiver's
    mutable std::optional<Statistics> mStatistics;
};
