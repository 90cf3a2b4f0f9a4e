#pragma once

// Work cut into parts that run at once: part 0 on the calling thread, each other part on a
// thread of its own (with its signal stack), and on the calling thread after part 0 when no
// thread can be made. Run returns once every part has; a part must not throw.

#include <cstddef>
#include <functional>
#include <thread>

class CThreadParts {
public:
    static void Run(std::size_t parts, std::function<void(std::size_t part)> const& run);
    // How many parts are worth running at once: the processors this process may use, up to 8.
    static std::size_t MostParts();
    // A thread of its own for the function, its signal stack made first (as every thread of the
    // program has); throws std::system_error, as std::thread does, when no thread can be had.
    static std::thread Start(std::function<void()> run);
};
