#include "app/CSheetTrackConfig.h"

#include "app/MapObjectListSupport.h"
#include "bindings/Source/Bindings/CBPreferenceBinding.h"
#include "bindings/Source/Core/CBString.h"
#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "devices/DeviceTypes.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CCarbonEvent.h"
#include "mapdata/CMapUnitText.h"
#include "widgets/CEditText.h"
#include "widgets/CPopupButton.h"
#include "widgets/CPushButton.h"
#include "widgets/CRadioGroup.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

namespace {

constexpr UInt32 kTrackCommandCapture = 'capt';
constexpr char const* kTrackPrefUnits = "MapUnits";
constexpr long kTrackCaptureAll = 1, kTrackCaptureSome = 2; // "capt"
constexpr long kTrackUnitSeconds = 1, kTrackUnitDistance = 2; // "unit"

CBKeyValueStore* TrackSheetPreferences()
{
    CApplication* app = CApplication::GetApp();
    return app ? app->GetPreferences().GetBinding() : nullptr;
}

// Distances in yards for the imperial settings (miles, feet), metres for the others.
bool TrackSheetImperial()
{
    CApplication* app = CApplication::GetApp();
    MapUnits const units
        = CMapUnitText::ResolveStoredUnits(app ? app->GetPreferences().GetInteger(kTrackPrefUnits, 0) : 0);
    return units == kMapUnitsImperial || units == kMapUnitsMiles || units == kMapUnitsFeet;
}

// A whole number from 0 to 2^32 - 1, leading and trailing blanks allowed; none for anything else.
std::optional<UInt32> ReadTrackValue(CString const& text)
{
    std::string const digits = text.GetStdString();
    char const* start = digits.c_str();
    while (*start == ' ' || *start == '\t')
        ++start;
    if (*start < '0' || *start > '9')
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    unsigned long long const value = std::strtoull(start, &end, 10);
    while (end && (*end == ' ' || *end == '\t'))
        ++end;
    if (errno != 0 || (end && *end) || value > std::numeric_limits<UInt32>::max())
        return std::nullopt;
    return UInt32(value);
}

} // namespace

CSheetTrackConfig::~CSheetTrackConfig()
{
    RemoveTimer();
    StopObserving();
}

// Every device first comes without a position: the list is looked at again every second.
OSStatus CSheetTrackConfig::InitialiseSelf()
{
    mInfo.progressSheet = nullptr;
    mInfo.device = nullptr;
    mInfo.captureMode = 0;
    mInfo.captureValue = 0;
    mDevicePopup = CPopupButton::Find(this, 'devi', 0);
    mCapture = CRadioGroup::Find(this, 'capt', 0);
    mUnit = CPopupButton::Find(this, 'unit', 0);
    mValue = CEditText::Find(this, 'valu', 0);
    mStart = CPushButton::Find(this, 'trak', 0);
    if (!mDevicePopup || !mCapture || !mUnit || !mValue || !mStart)
        return errUnknownControl;
    mDevices.SetPopup(mDevicePopup);
    RebuildDevices();
    if (CBKeyValueStore* prefs = TrackSheetPreferences())
        prefs->ObserveKeyPathValue(kTrackPrefUnits, this);
    UpdateUnitText();
    if (CDeviceManager* manager = DeviceSheetSupport::GetDeviceManager())
        manager->AddListener(this);
    return InstallTimer(kRefreshInterval, kRefreshInterval);
}

void CSheetTrackConfig::DoTimer() { RebuildDevices(); }

void CSheetTrackConfig::DoMessage(UInt32 message, void* parameter)
{
    if (message == 'dvad')
        RebuildDevices();
    else if (message == 'dvrm')
        RebuildDevices(static_cast<CDevice const*>(parameter));
}

void CSheetTrackConfig::ValueChanged(CBKeyValueStore const*, CBString const& keyPath)
{
    if (keyPath == CBString(kTrackPrefUnits))
        UpdateUnitText();
}

void CSheetTrackConfig::UpdateUnitText()
{
    char const* key = TrackSheetImperial() ? "TrackYards" : "TrackMetres";
    mUnit->SetItemText(false, kTrackUnitDistance, CTextUtilities::GetBundleString(key));
}

void CSheetTrackConfig::RebuildDevices(CDevice const* going)
{
    mDevices.Rebuild([](CDevice const* device) { return device->IsLocationKnown(); }, going);
    bool const any = !mDevices.IsEmpty();
    mDevicePopup->SetEnabled(any);
    mStart->SetEnabled(any);
}

CDevice* CSheetTrackConfig::GetSelectedDevice() const { return mDevices.GetSelected(); }

void CSheetTrackConfig::CaptureChanged()
{
    bool const some = mCapture->GetCurrentValue() != kTrackCaptureAll;
    mValue->SetEnabled(some);
    mUnit->SetEnabled(some);
}

void CSheetTrackConfig::SetTrackInfo(TrackInfo const& info)
{
    mInfo = info;
    CString value;
    value.Format("%ld", long(info.captureValue));
    mValue->SetTextValue(value);
    switch (info.captureMode) {
    case kCaptureEveryFix:
        mCapture->SetCurrentValue(kTrackCaptureAll);
        mUnit->SetCurrentValue(kTrackUnitSeconds);
        break;
    case kCaptureBySeconds:
        mCapture->SetCurrentValue(kTrackCaptureSome);
        mUnit->SetCurrentValue(kTrackUnitSeconds);
        break;
    case kCaptureByMetres:
        mCapture->SetCurrentValue(kTrackCaptureSome);
        mUnit->SetCurrentValue(kTrackUnitDistance);
        break;
    default:
        mCapture->SetCurrentValue(kTrackCaptureAll);
        break;
    }
    CaptureChanged();
}

TrackInfo CSheetTrackConfig::GetTrackInfo() const
{
    TrackInfo info = mInfo;
    info.device = GetSelectedDevice();
    info.captureValue = ReadTrackValue(mValue->GetTextValue()).value_or(0);
    bool const some = mCapture->GetCurrentValue() == kTrackCaptureSome;
    long const unit = mUnit->GetCurrentValue();
    if (!some)
        info.captureMode = kCaptureEveryFix;
    else if (unit == kTrackUnitDistance)
        info.captureMode = kCaptureByMetres;
    else
        info.captureMode = kCaptureBySeconds;
    // Yards are kept as whole metres, never less than one.
    if (info.captureMode == kCaptureByMetres && TrackSheetImperial())
        info.captureValue = UInt32(std::max(double(info.captureValue) * kMetresPerYard, 1.0));
    return info;
}

OSStatus CSheetTrackConfig::DoEventCommandProcess(CCarbonEvent& event)
{
    UInt32 const command = event.GetHICommand().commandID;
    if (command == kTrackCommandCapture) {
        CaptureChanged();
        return noErr;
    }
    // A rule of so many seconds or metres records only with a number: OK waits for one.
    if (command == kHICommandOK && mCapture->GetCurrentValue() == kTrackCaptureSome
        && !ReadTrackValue(mValue->GetTextValue())) {
        MapObjectListSupport::RefuseField(mValue);
        return noErr;
    }
    return CWindowController::DoEventCommandProcess(event);
}
