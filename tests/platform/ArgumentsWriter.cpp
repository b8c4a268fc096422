// Writes the arguments ProgramArguments gives it after the first, one a line, to the file the
// first names: what CommandLineTest expects the program to see.
#include "platform/CommandLine.h"

#include <cstdio>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    if (arguments.empty())
        return 2;
    std::FILE* const out = std::fopen(arguments.front().c_str(), "wb");
    if (out == nullptr)
        return 1;
    for (std::size_t i = 1; i < arguments.size(); ++i)
        std::fprintf(out, "%s\n", arguments[i].c_str());
    return std::fclose(out) == 0 ? 0 : 1;
}
