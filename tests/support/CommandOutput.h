#pragma once

// A shell command run to its end: what it wrote on its standard output and its
// exit status (-1 when it did not start or did not exit).

#include <stdio.h>
#include <sys/wait.h>

#include <array>
#include <string>

namespace testsupport {

struct TCommandResult {
    int Status = -1;
    std::string Output;
};

inline TCommandResult RunShellCommand(const std::string& command)
{
    TCommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.Output.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Only the output.
inline std::string CommandOutput(const std::string& command)
{
    return RunShellCommand(command).Output;
}

}  // namespace testsupport
