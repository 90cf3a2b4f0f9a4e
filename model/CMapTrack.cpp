#include "model/CMapTrack.h"

#include "foundation/Status.h"
#include "mapdata/CMapManager.h"
#include "model/CMapCodingUtilities.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double kSemiMajorAxis = 6378137.0; // [m], WGS84
constexpr double kEccentricitySquared = 6.69437999014e-3; // WGS84
constexpr double kDegreesToRadians = M_PI / 180;
constexpr double kMaxSpeed = 1e5; // [m/s]; beyond any vehicle, a damaged value
constexpr int kSampleFields = 8; // latitude, longitude, altitude, time, east, north, up, accuracy

bool HasVelocity(CCoordinatePVT const& sample)
{
    auto velocity = sample.GetVelocity(nullptr);
    return velocity[0] != 0 || velocity[1] != 0 || velocity[2] != 0;
}

double Speed(CCoordinatePVT const& sample)
{
    double speed = 0;
    sample.GetVelocity(&speed);
    return speed;
}

// One line: the sample's values, trailing zero values left out.
void AppendSample(std::string& text, CCoordinatePVT const& sample)
{
    auto velocity = sample.GetVelocity(nullptr);
    double values[kSampleFields] = { sample.GetLatitude(), sample.GetLongitude(), sample.GetAltitude(),
        sample.GetTime().GetTimeInSeconds(), velocity[0], velocity[1], velocity[2], sample.GetAccuracy() };
    int count = kSampleFields;
    while (count > 2 && values[count - 1] == 0)
        --count;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += ' ';
        CMapCodingUtilities::AppendNumber(text, values[i]);
    }
    text += '\n';
}

// Reads one line of two to eight numbers; false for anything else or impossible values.
bool ReadSample(std::string_view line, CCoordinatePVT& sample)
{
    double values[kSampleFields] = {};
    int count = 0;
    char const* cursor = line.data();
    char const* end = line.data() + line.size();
    for (;;) {
        while (cursor < end && (*cursor == ' ' || *cursor == '\t' || *cursor == '\r'))
            ++cursor;
        if (cursor == end)
            break;
        if (count == kSampleFields)
            return false;
        auto [next, error] = std::from_chars(cursor, end, values[count]);
        if (error != std::errc() || !std::isfinite(values[count]))
            return false;
        cursor = next;
        ++count;
    }
    if (count < 2 || !CMapCodingUtilities::IsValidLatitude(values[0])
        || !CMapCodingUtilities::IsValidLongitude(values[1]) || values[7] < 0)
        return false;
    for (int i = 4; i < 7; ++i)
        if (std::fabs(values[i]) > kMaxSpeed)
            return false;
    sample = CCoordinatePVT(CCoordinate(values[0], values[1], values[2]), CDateTime(values[3]),
        { values[4], values[5], values[6] }, values[7]);
    return true;
}

} // namespace

CMapTrack::CMapTrack()
    : CMapObject(kMapObjectTrack)
{
}

void CMapTrack::SetSamples(std::vector<CCoordinatePVT> samples)
{
    mSamples = std::move(samples);
    Rebuild();
    BroadcastModified();
}

void CMapTrack::AddSample(CCoordinatePVT const& sample)
{
    bool recorded = HasVelocity(sample);
    mSamples.push_back(sample);
    mBounds.Union(sample);
    std::size_t last = mSamples.size() - 1;
    if (last == 0) {
        mTimeKnown = sample.GetTime().IsValid();
        mLastStepBack = false;
        mDuration = 0;
    } else {
        StepTime(last);
    }
    if (recorded && !mVelocityDerived) {
        mVelocityKnown = true;
    } else if (!recorded && !(mVelocityKnown && !mVelocityDerived) && mTimeKnown && last > 0) {
        DeriveVelocity(last, mLastStepFrom);
        if (last == 1)
            DeriveVelocity(0, 0);
        mVelocityDerived = mVelocityKnown = true;
    }
    if (mVelocityDerived && !mTimeKnown)
        mVelocityKnown = false;
    mStatistics.reset();
    BroadcastModified();
}

void CMapTrack::Rebuild()
{
    mBounds = CCoordinateRect();
    mTimeKnown = !mSamples.empty() && mSamples.front().GetTime().IsValid();
    mLastStepBack = false;
    mDuration = 0;
    bool recorded = false;
    for (std::size_t i = 0; i < mSamples.size(); ++i) {
        CCoordinatePVT const& sample = mSamples[i];
        mBounds.Union(sample);
        if (i > 0)
            StepTime(i);
        recorded = recorded || HasVelocity(sample);
    }
    mVelocityDerived = false;
    mVelocityKnown = recorded;
    if (!recorded && mTimeKnown && mSamples.size() >= 2 && GetDuration() > 0) {
        bool back = false;
        for (std::size_t i = 1; i < mSamples.size(); ++i) {
            std::size_t const from = StepFrom(i, back);
            back = from == kNoStep;
            DeriveVelocity(i, from);
        }
        DeriveVelocity(0, 0);
        mVelocityDerived = mVelocityKnown = true;
    }
    mStatistics.reset();
}

// A receiver's clock or a looping log may step back once between two samples: that step
// counts no time and no distance, and the track stays timed. When the sample after it is past
// the one before it again, the one sample's time was wrong: it is passed over, and the step
// runs from the sample before it; otherwise the clock started over there. The first step
// going back, or two steps back in a row, mean the times are no order at all.
std::size_t CMapTrack::StepFrom(std::size_t index, bool afterBack) const
{
    CDateTime const& now = mSamples[index].GetTime();
    if (now < mSamples[index - 1].GetTime())
        return kNoStep;
    if (afterBack && index >= 2 && !(now < mSamples[index - 2].GetTime()))
        return index - 2;
    return index - 1;
}

void CMapTrack::StepTime(std::size_t index)
{
    CCoordinatePVT const& sample = mSamples[index];
    std::size_t const from = StepFrom(index, mLastStepBack);
    bool const back = from == kNoStep;
    mTimeKnown = mTimeKnown && sample.GetTime().IsValid() && !(back && (index == 1 || mLastStepBack));
    mLastStepBack = back;
    mLastStepFrom = from;
    if (!mTimeKnown || back)
        return;
    mDuration += sample.GetTime().GetTimeInSeconds() - mSamples[from].GetTime().GetTimeInSeconds();
}

// The velocity over the step counted into the sample (for the first: the next one's; for a
// step back: the sample before's), on the ellipsoid's local radii of curvature: exact enough
// for the seconds between fixes.
void CMapTrack::DeriveVelocity(std::size_t index, std::size_t step)
{
    if (mSamples.size() < 2)
        return;
    if (index == 0) {
        mSamples[0].SetVelocity(mSamples[1].GetVelocity(nullptr));
        return;
    }
    CCoordinatePVT const& from = mSamples[step == kNoStep ? index - 1 : step];
    CCoordinatePVT& to = mSamples[index];
    double seconds = to.GetTime().GetTimeInSeconds() - from.GetTime().GetTimeInSeconds();
    if (!(seconds > 0)) {
        to.SetVelocity(from.GetVelocity(nullptr));
        return;
    }
    double meanLatitude = (from.GetLatitude() + to.GetLatitude()) * 0.5 * kDegreesToRadians;
    double sine = std::sin(meanLatitude);
    double w2 = 1 - kEccentricitySquared * sine * sine;
    double primeVertical = kSemiMajorAxis / std::sqrt(w2);
    double meridional = primeVertical * (1 - kEccentricitySquared) / w2;
    double dLongitude = std::remainder(to.GetLongitude() - from.GetLongitude(), 360.0);
    double east = dLongitude * kDegreesToRadians * primeVertical * std::cos(meanLatitude) / seconds;
    double north = (to.GetLatitude() - from.GetLatitude()) * kDegreesToRadians * meridional / seconds;
    double up = (to.GetAltitude() - from.GetAltitude()) / seconds;
    to.SetVelocity({ east, north, up });
}

CMapTrack::Statistics const& CMapTrack::GetStatistics() const
{
    if (mStatistics)
        return *mStatistics;
    Statistics statistics;
    CMapManager const& manager = GetMapManager();
    // The steps the time counts are the steps the length and the speeds count: a sample passed
    // over for its wrong time adds neither distance nor speed.
    std::vector<bool> passed(mSamples.size(), false);
    bool back = false;
    for (std::size_t i = 1; i < mSamples.size(); ++i) {
        std::size_t from = i - 1;
        if (mTimeKnown) {
            from = StepFrom(i, back);
            back = from == kNoStep;
            if (from == i - 2)
                passed[i - 1] = true;
        }
        if (from != kNoStep)
            statistics.length += manager.GetDistance(mSamples[from], mSamples[i]);
    }
    if (mTimeKnown && back)
        passed.back() = true; // the last step went back: no step after it says why
    if (mVelocityKnown && !mSamples.empty()) {
        double sum = 0;
        std::size_t counted = 0;
        statistics.velocityMin = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < mSamples.size(); ++i) {
            if (passed[i])
                continue;
            double speed = Speed(mSamples[i]);
            statistics.velocityMin = std::min(statistics.velocityMin, speed);
            statistics.velocityMax = std::max(statistics.velocityMax, speed);
            sum += speed;
            ++counted;
        }
        double duration = GetDuration();
        statistics.velocityAvg = duration > 0 ? statistics.length / duration : sum / double(counted);
    }
    mStatistics = statistics;
    return *mStatistics;
}

double CMapTrack::GetVelocityMin() const { return GetStatistics().velocityMin; }

double CMapTrack::GetVelocityMax() const { return GetStatistics().velocityMax; }

double CMapTrack::GetVelocityAvg() const { return GetStatistics().velocityAvg; }

double CMapTrack::GetLength() const { return GetStatistics().length; }

double CMapTrack::GetDuration() const
{
    return mTimeKnown ? mDuration : 0;
}

CString CMapTrack::GetTime() const
{
    // A zero or unknown duration reads as the unknown-time text.
    return GetMapManager().GetTimeString(CDateTime(GetDuration()), kDateFormatDuration);
}

CString CMapTrack::GetDistance() const { return GetMapManager().GetDistanceString(GetLength(), kMapUnitsUser); }

OSStatus CMapTrack::EncodeProperties(CFDictionary& properties) const
{
    TW_RETURN_IF_ERROR(CMapObject::EncodeProperties(properties));
    std::string text;
    text.reserve(mSamples.size() * 48);
    for (CCoordinatePVT const& sample : mSamples)
        AppendSample(text, sample);
    properties.SetValueString(kKeySamples, CString(text.data(), text.size(), kCFStringEncodingUTF8));
    return noErr;
}

OSStatus CMapTrack::DecodeProperties(CFDictionary const& properties)
{
    TW_RETURN_IF_ERROR(CMapObject::DecodeProperties(properties));
    // Read where the text lies when it is kept as bytes: tens of megabytes for a long track.
    CString const stored = properties.GetValueString(kKeySamples);
    char const* bytes = CFStringGetCStringPtr(stored.GetCFString(), kCFStringEncodingUTF8);
    std::string converted;
    if (!bytes)
        bytes = (converted = stored.GetUTF8()).c_str();
    std::string_view rest = bytes;
    std::vector<CCoordinatePVT> samples;
    samples.reserve(std::size_t(std::count(rest.begin(), rest.end(), '\n')) + 1);
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.find_first_not_of(" \t\r") == std::string_view::npos)
            continue;
        CCoordinatePVT sample;
        if (!ReadSample(line, sample))
            return paramErr;
        samples.push_back(sample);
    }
    mSamples = std::move(samples);
    Rebuild();
    return noErr;
}
