#include "devices/CSerialPort.h"

#include "devices/DeviceTypes.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

speed_t ToSpeed(UInt32 baud)
{
    switch (baud) {
    case 230400:
        return B230400;
    case 115200:
        return B115200;
    case 57600:
        return B57600;
    case 38400:
        return B38400;
    case 19200:
        return B19200;
    case 9600:
        return B9600;
    case 4800:
        return B4800;
    case 2400:
        return B2400;
    default:
        return B0;
    }
}

bool IsGoneError(int error) { return error == EIO || error == ENXIO || error == ENODEV || error == EBADF; }

} // namespace

CSerialPort::CSerialPort(CSerialPort&& other) noexcept
    : mFD(std::exchange(other.mFD, -1))
    , mSpeed(std::exchange(other.mSpeed, 0))
{
}

CSerialPort& CSerialPort::operator=(CSerialPort&& other) noexcept
{
    if (this != &other) {
        Close();
        mFD = std::exchange(other.mFD, -1);
        mSpeed = std::exchange(other.mSpeed, 0);
    }
    return *this;
}

CSerialPort::~CSerialPort() { Close(); }

OSStatus CSerialPort::Open(CString const& path)
{
    Close();
    int fd = ::open(path.GetUTF8(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENODEV || errno == ENXIO ? fnfErr : kDeviceOpenErr;
    // Another program reading the same receiver would take half of its sentences.
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        return kDeviceOpenErr;
    }
    mFD = fd;
    return noErr;
}

void CSerialPort::Close()
{
    if (mFD >= 0)
        ::close(mFD);
    mFD = -1;
    mSpeed = 0;
}

OSStatus CSerialPort::SetSpeed(UInt32 baud)
{
    speed_t speed = ToSpeed(baud);
    if (speed == B0)
        return paramErr;
    if (mFD < 0)
        return kDeviceNotConnectedErr;
    termios settings {};
    if (tcgetattr(mFD, &settings) != 0)
        return IsGoneError(errno) ? kDeviceGoneErr : kDeviceOpenErr;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    // With at least one byte to wait for, a non-blocking read tells "nothing yet" (EAGAIN) from
    // a hang-up (end of file); with none it would answer 0 for both.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, speed);
    cfsetospeed(&settings, speed);
    if (tcsetattr(mFD, TCSANOW, &settings) != 0)
        return IsGoneError(errno) ? kDeviceGoneErr : kDeviceOpenErr;
    tcflush(mFD, TCIFLUSH);
    mSpeed = baud;
    return noErr;
}

OSStatus CSerialPort::Read(char* buffer, std::size_t size, std::size_t& count)
{
    count = 0;
    if (mFD < 0)
        return kDeviceNotConnectedErr;
    for (;;) {
        ssize_t got = ::read(mFD, buffer, size);
        if (got > 0) {
            count = std::size_t(got);
            return noErr;
        }
        // Without O_NONBLOCK's "nothing yet", an end of file is a hang-up.
        if (got == 0)
            return kDeviceGoneErr;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return noErr;
        return IsGoneError(errno) ? kDeviceGoneErr : ioErr;
    }
}

OSStatus CSerialPort::WaitReadable(double seconds, bool& readable)
{
    readable = false;
    if (mFD < 0)
        return kDeviceNotConnectedErr;
    pollfd entry { mFD, POLLIN, 0 };
    int const timeout = int(std::ceil(std::max(seconds, 0.0) * 1000.0));
    int ready = ::poll(&entry, 1, timeout);
    if (ready < 0)
        return errno == EINTR ? noErr : ioErr;
    if (ready == 0)
        return noErr;
    if (entry.revents & (POLLERR | POLLNVAL))
        return kDeviceGoneErr;
    // A hang-up with data still queued reads the data first; Read reports the end.
    readable = (entry.revents & (POLLIN | POLLHUP)) != 0;
    return noErr;
}
