// tarnwick-repair-pack <pack folder>: run as administrator (through pkexec) by the map-pack
// repair, makes the pack readable by every user without following any link. Prints
// "repaired" on standard output when every entry it may change was changed; what it left
// or could not change goes to standard error.

#include "PackModes.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] != '/') {
        std::fputs("usage: tarnwick-repair-pack /absolute/path/to/pack.twmap\n", stderr);
        return 2;
    }
    tw::repairpack::PackModesResult result;
    bool const walked = tw::repairpack::MakeReadableByEveryone(argv[1], result);
    std::fputs(result.messages.c_str(), stderr);
    if (!walked || result.failed > 0) {
        std::fprintf(stderr, "tarnwick-repair-pack: %s is not repaired (%d left unchanged)\n", argv[1], result.failed);
        return 1;
    }
    std::puts("repaired");
    return 0;
}
