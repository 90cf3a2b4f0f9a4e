#include "app/CSingleInstance.h"

#include "foundation/CThreadParts.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

constexpr char kGreeting[] = "tarnwick-launch 1\n";
constexpr char kAnswer[] = "ok\n";
constexpr int kTimeout = 10; // [s] a start waits this long for the instance's answer
// The instance's loop serves a start: the whole of its words must come within this.
constexpr auto kKnockDeadline = std::chrono::seconds(1);
// The event the watcher posts when a start knocks on the socket.
constexpr EventClass kEventClassKnock = 'TwSi';
constexpr UInt32 kEventKnock = 1;

// Closes a descriptor when it goes out of scope.
class StFileDescriptor {
public:
    explicit StFileDescriptor(int fd)
        : mFD(fd)
    {
    }
    ~StFileDescriptor()
    {
        if (mFD >= 0)
            close(mFD);
    }
    StFileDescriptor(StFileDescriptor const&) = delete;
    StFileDescriptor& operator=(StFileDescriptor const&) = delete;
    int Get() const { return mFD; }
    int Release() { return std::exchange(mFD, -1); }

private:
    int mFD;
};

bool MakeAddress(std::string const& path, sockaddr_un* address)
{
    *address = {};
    address->sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address->sun_path)
        return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

void SetTimeouts(int fd, int seconds)
{
    timeval const timeout { seconds, 0 };
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

bool WriteAll(int fd, std::string const& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t const n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The bytes of one connection, taken in pieces as they come, until a deadline for the whole:
// a peer that sends slowly is cut off, however it spaces its bytes.
class DeadlineReader {
public:
    DeadlineReader(int fd, std::chrono::steady_clock::duration within)
        : mFD(fd)
        , mDeadline(std::chrono::steady_clock::now() + within)
    {
    }
    // One byte; false at the end, on an error or past the deadline.
    bool ReadByte(char* c)
    {
        if (mAt == mEnd && !Fill())
            return false;
        *c = mBuffer[mAt++];
        return true;
    }

private:
    bool Fill()
    {
        for (;;) {
            auto const now = std::chrono::steady_clock::now();
            auto const left = std::chrono::ceil<std::chrono::milliseconds>(mDeadline - now);
            if (left.count() <= 0)
                return false;
            pollfd ready { mFD, POLLIN, 0 };
            int const polled = poll(&ready, 1, int(left.count()));
            if (polled < 0 && errno == EINTR)
                continue;
            if (polled <= 0)
                return false;
            ssize_t const n = recv(mFD, mBuffer, sizeof mBuffer, MSG_DONTWAIT);
            if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            if (n <= 0)
                return false;
            mAt = 0;
            mEnd = std::size_t(n);
            return true;
        }
    }

    int mFD;
    std::chrono::steady_clock::time_point mDeadline;
    char mBuffer[4096];
    std::size_t mAt = 0;
    std::size_t mEnd = 0;
};

// A line or a word: bytes up to the terminator, at most the bytes left.
bool ReadUntil(DeadlineReader& reader, char terminator, std::size_t* budget, std::string* out)
{
    out->clear();
    char c = 0;
    while (*budget > 0 && reader.ReadByte(&c)) {
        --*budget;
        if (c == terminator)
            return true;
        out->push_back(c);
    }
    return false;
}

} // namespace

CSingleInstance::CSingleInstance() = default;

CSingleInstance::~CSingleInstance()
{
    if (mWatcher.joinable()) {
        {
            std::lock_guard lock(mMutex);
            mServed = true; // a watcher waiting for its knock to be served waits no more
        }
        mServedChanged.notify_all();
        std::uint64_t const one = 1;
        [[maybe_unused]] ssize_t const written = write(mStopWatching, &one, sizeof one);
        mWatcher.join();
    }
    if (mStopWatching >= 0)
        close(mStopWatching);
    if (mHandler)
        RemoveEventHandler(mHandler);
    if (mKnock) {
        RemoveEventFromQueue(GetMainEventQueue(), mKnock);
        ReleaseEvent(mKnock);
    }
    if (mListener >= 0) {
        close(mListener);
        unlink(mPath.c_str());
    }
}

std::string CSingleInstance::SocketPath(char const* runtimeFolder, char const* display)
{
    if (!runtimeFolder || !*runtimeFolder || !display || !*display)
        return {};
    std::string name = "tarnwick-";
    for (char const* c = display; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) || *c == '.' || *c == '-' ? *c : '_';
    std::string path = std::string(runtimeFolder) + "/" + name + ".socket";
    sockaddr_un address;
    return MakeAddress(path, &address) ? path : std::string();
}

// 1. One start at a time decides, under a lock beside the socket. 2. A socket that
// answers is an instance: it takes the words. 3. One that refuses is stale, left by
// a killed instance: it goes. 4. This process listens in its place.
CSingleInstance::Claim CSingleInstance::ClaimOrHandOver(
    std::string const& socketPath, std::vector<std::string> const& words)
{
    sockaddr_un address;
    if (!MakeAddress(socketPath, &address))
        return Claim::Alone;
    StFileDescriptor lock(open((socketPath + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600));
    if (lock.Get() >= 0)
        while (flock(lock.Get(), LOCK_EX) != 0 && errno == EINTR) { }

    StFileDescriptor probe(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (probe.Get() < 0)
        return Claim::Alone;
    if (connect(probe.Get(), reinterpret_cast<sockaddr const*>(&address), sizeof address) == 0) {
        mPath = socketPath;
        bool const handed = HandOver(words, probe.Get());
        mPath.clear();
        if (handed)
            return Claim::HandedOver;
        std::fprintf(stderr, "Tarnwick: the running Tarnwick did not answer; starting another.\n");
        return Claim::Alone;
    }
    if (errno == ECONNREFUSED) {
        struct stat info {};
        if (lstat(socketPath.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode))
            return Claim::Alone; // not ours to remove
        unlink(socketPath.c_str());
    } else if (errno != ENOENT)
        return Claim::Alone;

    StFileDescriptor listener(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    mode_t const mask = umask(0177); // the socket is the user's alone
    bool const bound = listener.Get() >= 0
        && bind(listener.Get(), reinterpret_cast<sockaddr const*>(&address), sizeof address) == 0;
    umask(mask);
    if (!bound || listen(listener.Get(), 8) != 0)
        return Claim::Alone;
    mListener = listener.Release();
    mPath = socketPath;
    return Claim::First;
}

bool CSingleInstance::HandOver(std::vector<std::string> const& words, int connection)
{
    SetTimeouts(connection, kTimeout);
    std::string message = kGreeting + std::to_string(words.size()) + "\n";
    for (std::string const& word : words)
        message.append(word).push_back('\0');
    if (message.size() > kMaxBytes || words.size() > kMaxWords || !WriteAll(connection, message))
        return false;
    std::string answer;
    std::size_t budget = sizeof kAnswer;
    DeadlineReader reader(connection, std::chrono::seconds(kTimeout));
    return ReadUntil(reader, '\n', &budget, &answer) && answer + "\n" == kAnswer;
}

void CSingleInstance::Listen(Receiver receiver)
{
    mReceiver = std::move(receiver);
    if (mListener < 0 || mWatcher.joinable())
        return;
    mStopWatching = eventfd(0, EFD_CLOEXEC);
    EventTypeSpec const spec { kEventClassKnock, kEventKnock };
    EventTargetRef target = GetApplicationEventTarget();
    if (mStopWatching < 0 || CreateEvent(nullptr, kEventClassKnock, kEventKnock, 0, kEventAttributeNone, &mKnock) != noErr
        || SetEventParameter(mKnock, kEventParamPostTarget, typeEventTargetRef, sizeof target, &target) != noErr
        || InstallEventHandler(target, NewEventHandlerUPP(HandleKnock), 1, &spec, this, &mHandler) != noErr) {
        std::fprintf(stderr, "Tarnwick: later starts cannot be heard; they will run on their own.\n");
        return;
    }
    try {
        mWatcher = CThreadParts::Start([this] { Watch(); });
    } catch (std::system_error const&) {
        std::fprintf(stderr, "Tarnwick: later starts cannot be heard; they will run on their own.\n");
    }
}

// The watcher thread: sleeps until a start knocks (or the instance goes), has the main
// loop serve it, and sleeps again only once it was served, so one knock is one post.
void CSingleInstance::Watch()
{
    for (;;) {
        pollfd fds[2] = { { mListener, POLLIN, 0 }, { mStopWatching, POLLIN, 0 } };
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        std::unique_lock lock(mMutex);
        mServed = false;
        PostEventToQueue(GetMainEventQueue(), mKnock, kEventPriorityStandard);
        mServedChanged.wait(lock, [this] { return mServed; });
    }
}

OSStatus CSingleInstance::HandleKnock(EventHandlerCallRef, EventRef, void* userData)
{
    auto* instance = static_cast<CSingleInstance*>(userData);
    instance->Serve();
    {
        std::lock_guard lock(instance->mMutex);
        instance->mServed = true;
    }
    instance->mServedChanged.notify_all();
    return noErr;
}

int CSingleInstance::Serve()
{
    int served = 0;
    while (mListener >= 0) {
        StFileDescriptor connection(accept4(mListener, nullptr, nullptr, SOCK_CLOEXEC));
        if (connection.Get() < 0)
            break; // nothing waits (or a start gave up)
        if (ServeOne(connection.Get()))
            ++served;
    }
    return served;
}

// Reads one start's words, answers, and hands them on. Anything malformed, too
// long or from another user is refused, said on standard error, and queues nothing.
bool CSingleInstance::ServeOne(int connection)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    if (getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != getuid()) {
        std::fprintf(stderr, "Tarnwick: refused a start of another user.\n");
        return false;
    }
    int const flags = fcntl(connection, F_GETFL);
    fcntl(connection, F_SETFL, flags & ~O_NONBLOCK);
    SetTimeouts(connection, 1);
    // The loop waits while a start is read: one that takes longer than the deadline is dropped.
    DeadlineReader reader(connection, kKnockDeadline);
    std::size_t budget = kMaxBytes;
    std::string line;
    std::vector<std::string> words;
    bool ok = ReadUntil(reader, '\n', &budget, &line) && line + "\n" == kGreeting
        && ReadUntil(reader, '\n', &budget, &line);
    std::size_t count = 0;
    if (ok) {
        auto const [end, error] = std::from_chars(line.data(), line.data() + line.size(), count);
        ok = error == std::errc() && end == line.data() + line.size() && count <= kMaxWords;
    }
    for (std::size_t i = 0; ok && i < count; ++i) {
        ok = ReadUntil(reader, '\0', &budget, &line);
        if (ok)
            words.push_back(line);
    }
    if (!ok) {
        std::fprintf(stderr, "Tarnwick: a later start sent a command line that could not be read; ignored.\n");
        return false;
    }
    WriteAll(connection, kAnswer);
    if (mReceiver)
        mReceiver(words);
    return true;
}
