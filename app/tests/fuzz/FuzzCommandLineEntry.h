#pragma once

// The body of the command line's fuzz entry, shared with the test that replays the seed
// corpus. An input beginning with 'S' is raw bytes sent to a listening instance's socket: the
// instance takes a start's words only when they are what a start sends, and then exactly
// those. Any other input is a command line (words split at NUL bytes): its options are read,
// its words for the instance made, handed over through the socket and received unchanged.

#include "app/CSingleInstance.h"
#include "app/CTWApplication.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tw::fuzz {

inline std::string const& CommandLineSocket()
{
    static std::string const path = [] {
        std::string folder = (std::filesystem::temp_directory_path() / "tw-fuzz-launch-XXXXXX").string();
        char* made = mkdtemp(folder.data());
        return CSingleInstance::SocketPath(made ? made : "/nonexistent", ":fuzz");
    }();
    return path;
}

// What a start sends for its words.
inline std::string LaunchMessage(std::vector<std::string> const& words)
{
    std::string message = "tarnwick-launch 1\n" + std::to_string(words.size()) + "\n";
    for (std::string const& word : words)
        message.append(word).push_back('\0');
    return message;
}

inline int FuzzRawLaunchBytes(CSingleInstance& instance, std::vector<std::vector<std::string>> const& received,
    uint8_t const* data, size_t size)
{
    int const client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    CommandLineSocket().copy(address.sun_path, sizeof address.sun_path - 1);
    if (client < 0 || connect(client, reinterpret_cast<sockaddr const*>(&address), sizeof address) != 0)
        __builtin_trap();
    if (size > 0 && send(client, data, size, MSG_NOSIGNAL) != ssize_t(size))
        __builtin_trap();
    shutdown(client, SHUT_WR);
    int const served = instance.Serve();
    char answer[4] {};
    ssize_t const answered = recv(client, answer, sizeof answer, 0);
    close(client);
    if (served != int(received.size()) || served > 1)
        __builtin_trap();
    if (served == 0) {
        if (answered > 0)
            __builtin_trap(); // a refused start is never told it was taken
        return 0;
    }
    std::string const sent(reinterpret_cast<char const*>(data), size);
    if (sent.rfind(LaunchMessage(received.front()), 0) != 0 || std::string(answer, std::size_t(answered)) != "ok\n")
        __builtin_trap();
    return 0;
}

inline int FuzzCommandLine(CSingleInstance& instance, std::vector<std::vector<std::string>> const& received,
    uint8_t const* data, size_t size)
{
    std::vector<std::string> arguments { "tarnwick" };
    std::string word;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            arguments.push_back(word);
            word.clear();
        } else
            word.push_back(char(data[i]));
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int const argc = int(arguments.size());
    // Up to "--" a word that begins with "-" is an option; after it every word is a file or link.
    bool options = false;
    std::size_t files = 0;
    for (int i = 1, end = argc; i < argc; ++i) {
        if (i > end)
            ++files;
        else if (std::string(argv[i]) == "--")
            end = i;
        else if (argv[i][0] == '-')
            options = true;
        else
            ++files;
    }
    if ((CTWApplication::ReadOptions(argc, argv.data()) == CTWApplication::LaunchAction::Run) == options)
        __builtin_trap(); // a start with options never just runs, one without always does
    std::vector<std::string> const words = CTWApplication::HandOverWords(argc, argv.data());
    if (words.size() != files)
        __builtin_trap(); // every file and link goes over, no option does
    // The start's side on a thread of its own, as a second process would be.
    CSingleInstance::Claim claim = CSingleInstance::Claim::Alone;
    std::atomic<bool> done = false;
    std::thread start([&] {
        CSingleInstance second;
        claim = second.ClaimOrHandOver(CommandLineSocket(), words);
        done = true;
    });
    while (!done) {
        instance.Serve();
        usleep(100);
    }
    start.join();
    instance.Serve();
    bool const fits = words.size() <= CSingleInstance::kMaxWords
        && LaunchMessage(words).size() <= CSingleInstance::kMaxBytes;
    if (!fits) {
        if (claim != CSingleInstance::Claim::Alone || !received.empty())
            __builtin_trap(); // too much for the instance: this start runs alone
        return 0;
    }
    if (claim != CSingleInstance::Claim::HandedOver || received.size() != 1 || received.front() != words)
        __builtin_trap();
    return 0;
}

inline int FuzzCommandLineInput(uint8_t const* data, size_t size)
{
    std::vector<std::vector<std::string>> received;
    CSingleInstance instance;
    if (instance.ClaimOrHandOver(CommandLineSocket(), {}) != CSingleInstance::Claim::First)
        __builtin_trap();
    instance.Listen([&received](std::vector<std::string> const& words) { received.push_back(words); });
    if (size > 0 && data[0] == 'S')
        return FuzzRawLaunchBytes(instance, received, data + 1, size - 1);
    return FuzzCommandLine(instance, received, data, size);
}

} // namespace tw::fuzz
