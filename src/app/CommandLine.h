#pragma once

// The command line a second start passes to the running instance.

#include <string>
#include <string_view>

namespace velmora {

// The first argument after the program's own path, as the system's argument
// rules split it (blanks separate, double quotes group and are dropped).
std::string FirstArgument(std::string_view commandLine);

struct CommandLineRequest {
    bool shutdown = false;
    bool options = false;
};

// Only the first argument counts, compared after trimming blanks and control
// characters and lower-casing A to Z.
CommandLineRequest ReadCommandLineRequest(std::string_view commandLine);

}  // namespace velmora
