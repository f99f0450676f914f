#include "app/CommandLine.h"

namespace velmora {

namespace {

bool IsSeparator(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

// Reads one argument from position, dropping quotes; leaves position after it.
std::string NextArgument(std::string_view text, std::size_t& position)
{
    while (position < text.size() && IsSeparator(text[position])) {
        ++position;
    }
    std::string argument;
    bool quoted = false;
    for (; position < text.size(); ++position) {
        const char c = text[position];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && IsSeparator(c)) {
            break;
        } else {
            argument += c;
        }
    }
    return argument;
}

}  // namespace

std::string FirstArgument(std::string_view commandLine)
{
    std::size_t position = 0;
    NextArgument(commandLine, position);  // the program itself
    return NextArgument(commandLine, position);
}

CommandLineRequest ReadCommandLineRequest(std::string_view commandLine)
{
    std::string argument = FirstArgument(commandLine);
    std::size_t start = 0;
    std::size_t end = argument.size();
    while (start < end && IsSeparator(argument[start])) {
        ++start;
    }
    while (end > start && IsSeparator(argument[end - 1])) {
        --end;
    }
    argument = argument.substr(start, end - start);
    for (char& c : argument) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return {argument == "/shutdown", argument == "/options"};
}

}  // namespace velmora
