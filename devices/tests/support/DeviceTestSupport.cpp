#include "devices/tests/support/DeviceTestSupport.h"

#include <bit>
#include <cstdio>

#include "devices/DeviceTypes.h"
#include "devices/tests/support/SimulatedGarminUnit.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <sstream>
#include <termios.h>
#include <unistd.h>

namespace tw::test {

bool RunLoopUntil(std::function<bool()> const& condition, double seconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition() && std::chrono::steady_clock::now() < deadline)
        RunCurrentEventLoop(0.02);
    return condition();
}

std::string SatelliteSentence() { return "$GPGSV,3,1,11,04,56,140,42,05,12,320,30,09,67,200,45,12,10,040,28*7C\r\n"; }

std::string Sentence(std::string const& body)
{
    unsigned sum = 0;
    for (char c : body)
        sum ^= UInt8(c);
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", sum);
    return "$" + body + "*" + hex + "\r\n";
}

void Put16(std::vector<UInt8>& bytes, UInt16 value)
{
    bytes.push_back(UInt8(value));
    bytes.push_back(UInt8(value >> 8));
}

void Put32(std::vector<UInt8>& bytes, UInt32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(UInt8(value >> shift));
}

void PutFloat(std::vector<UInt8>& bytes, float value) { Put32(bytes, std::bit_cast<UInt32>(value)); }

void PutDouble(std::vector<UInt8>& bytes, double value)
{
    UInt64 const bits = std::bit_cast<UInt64>(value);
    Put32(bytes, UInt32(bits));
    Put32(bytes, UInt32(bits >> 32));
}

void PutText(std::vector<UInt8>& bytes, std::string const& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
}

std::vector<UInt8> UnitPacket(UInt8 type, UInt16 id, std::vector<UInt8> const& data)
{
    std::vector<UInt8> bytes { type, 0, 0, 0 };
    Put16(bytes, id);
    Put16(bytes, 0);
    Put32(bytes, UInt32(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

std::vector<UInt8> UnitFixRecord(UnitFix const& fix)
{
    std::vector<UInt8> record;
    PutFloat(record, fix.altitude);
    PutFloat(record, fix.error);
    PutFloat(record, fix.horizontalError);
    PutFloat(record, fix.verticalError);
    Put16(record, fix.fixType);
    PutDouble(record, fix.timeOfWeek);
    PutDouble(record, fix.latitude * M_PI / 180.0);
    PutDouble(record, fix.longitude * M_PI / 180.0);
    PutFloat(record, fix.east);
    PutFloat(record, fix.north);
    PutFloat(record, fix.up);
    PutFloat(record, fix.seaLevel);
    Put16(record, fix.leapSeconds);
    Put32(record, fix.weekDays);
    return record;
}

std::filesystem::path WalkLogPath() { return std::filesystem::path(TW_DEVICES_TEST_DATA_DIR) / "nmea" / "walk.nmea"; }

std::string ReadWalkLog() { return ReadFile(WalkLogPath()); }

std::vector<ExpectedFix> ReadWalkSidecar()
{
    std::vector<ExpectedFix> fixes;
    std::ifstream sidecar(std::filesystem::path(TW_DEVICES_TEST_DATA_DIR) / "nmea" / "walk.csv");
    std::string line;
    while (std::getline(sidecar, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream fields(line);
        ExpectedFix fix {};
        fields >> fix.seconds >> fix.latitude >> fix.longitude >> fix.altitude >> fix.speed >> fix.course
            >> fix.dilution;
        fixes.push_back(fix);
    }
    return fixes;
}

std::vector<std::string> WalkMoments()
{
    std::vector<std::string> moments;
    std::istringstream log(ReadWalkLog());
    std::string line, time;
    while (std::getline(log, line)) {
        bool position = line.size() > 7 && (line.compare(3, 3, "RMC") == 0 || line.compare(3, 3, "GGA") == 0);
        std::string lineTime = position ? line.substr(7, line.find(',', 7) - 7) : time;
        if (moments.empty() || lineTime != time)
            moments.emplace_back();
        time = lineTime;
        moments.back() += line + "\n";
    }
    return moments;
}

PseudoTerminal::PseudoTerminal()
{
    char name[256] = {};
    if (openpty(&mMaster, &mSlave, name, nullptr, nullptr) != 0)
        return;
    mPath = name;
    fcntl(mMaster, F_SETFL, fcntl(mMaster, F_GETFL) | O_NONBLOCK);
    termios settings {};
    tcgetattr(mSlave, &settings);
    cfmakeraw(&settings);
    tcsetattr(mSlave, TCSANOW, &settings);
}

PseudoTerminal::~PseudoTerminal() { Close(); }

void PseudoTerminal::Write(std::string const& text)
{
    if (mMaster >= 0) [[maybe_unused]]
        ssize_t written = ::write(mMaster, text.data(), text.size());
}

unsigned PseudoTerminal::GetSpeed() const
{
    termios settings {};
    if (mMaster < 0 || tcgetattr(mMaster, &settings) != 0)
        return 0;
    switch (cfgetispeed(&settings)) {
    case B230400:
        return 230400;
    case B115200:
        return 115200;
    case B57600:
        return 57600;
    case B38400:
        return 38400;
    case B19200:
        return 19200;
    case B9600:
        return 9600;
    case B4800:
        return 4800;
    case B2400:
        return 2400;
    default:
        return 0;
    }
}

void PseudoTerminal::Play(std::function<std::string(unsigned index)> source, double interval)
{
    StopPlaying();
    mPlaying = true;
    mWriter = std::thread([this, source, interval] {
        for (unsigned i = 0; mPlaying; ++i) {
            Write(source(i));
            std::this_thread::sleep_for(std::chrono::duration<double>(interval));
        }
    });
}

void PseudoTerminal::StopPlaying()
{
    mPlaying = false;
    if (mWriter.joinable())
        mWriter.join();
}

void PseudoTerminal::Close()
{
    StopPlaying();
    if (mSlave >= 0)
        ::close(mSlave);
    if (mMaster >= 0)
        ::close(mMaster);
    mSlave = mMaster = -1;
}

OSStatus FakeDeviceMonitor::Start(Callback callback, void* context)
{
    mCallback = callback;
    mContext = context;
    for (DeviceNotice const& notice : present)
        callback(notice, context);
    return noErr;
}

void FakeDeviceMonitor::Plug(DeviceNotice const& notice)
{
    if (mCallback)
        mCallback(notice, mContext);
}

void FakeDeviceMonitor::Pull(CString const& key)
{
    DeviceNotice notice;
    notice.action = DeviceNotice::kRemoved;
    notice.key = key;
    if (mCallback)
        mCallback(notice, mContext);
}

DeviceNotice GarminNotice(char const* key, UInt8 address)
{
    DeviceNotice notice;
    notice.kind = DeviceNotice::kKindUSB;
    notice.key = key;
    notice.path = CString("/dev/bus/usb/001/") + CString(std::to_string(address).c_str());
    notice.vendor = 0x091E;
    notice.product = 0x0003;
    notice.bus = 1;
    notice.address = address;
    return notice;
}

std::vector<SimulatedGarminUnit*> SimulatedUnits::units;
UInt16 SimulatedUnits::nextProductID = 694;
bool SimulatedUnits::nextSilent = false;

void SimulatedUnits::Reset()
{
    units.clear();
    nextProductID = 694;
    nextSilent = false;
}

std::unique_ptr<IGarminTransport> SimulatedUnits::MakeSimulatedUnit(DeviceNotice const& notice)
{
    auto unit = std::make_unique<SimulatedGarminUnit>(notice.path.GetUTF8());
    unit->productID = nextProductID;
    unit->silent = nextSilent;
    units.push_back(unit.get());
    return unit;
}

void MessageLog::DoMessage(UInt32 message, void* parameter)
{
    OSStatus status = noErr;
    if (message == kMsgGPSConnected || message == kMsgGPSDisconnected)
        status = static_cast<MsgGPSConnection*>(parameter)->status;
    else if (message == kMsgGPSFailed)
        status = static_cast<MsgGPSFailure*>(parameter)->status;
    else if (message == kMsgGPSPosVelTime)
        fixes.push_back(*static_cast<CGPSPosVelTime const*>(parameter));
    entries.push_back({ message, parameter, status });
}

std::size_t MessageLog::Count(UInt32 message) const
{
    return std::size_t(std::count_if(
        entries.begin(), entries.end(), [message](Entry const& entry) { return entry.message == message; }));
}

} // namespace tw::test
