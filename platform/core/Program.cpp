#include "platform/core/Program.h"

#include <cerrno>
#include <optional>
#include <system_error>

#include <unistd.h>

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

namespace {

// The arguments as the system passed them (UTF-8); they are converted when
// asked for, so one odd argument only fails the code that reads it.
std::optional<std::vector<std::string>>& StoredArguments()
{
    static std::optional<std::vector<std::string>> arguments;
    return arguments;
}

std::vector<std::string> ArgumentsFromProc()
{
    std::vector<std::string> arguments;
    std::string cmdline;
    try {
        cmdline = ReadFileBytes("/proc/self/cmdline");
    } catch (const Exception&) {
        return arguments;
    }
    std::size_t start = 0;
    while (start < cmdline.size()) {
        auto end = cmdline.find('\0', start);
        if (end == std::string::npos)
            end = cmdline.size();
        arguments.push_back(cmdline.substr(start, end - start));
        start = end + 1;
    }
    // The first entry is the program as it was called; ParamStr(0) uses the real file.
    if (!arguments.empty())
        arguments.erase(arguments.begin());
    return arguments;
}

const std::vector<std::string>& Arguments()
{
    auto& stored = StoredArguments();
    if (!stored)
        stored = ArgumentsFromProc();
    return *stored;
}

}  // namespace

void InitProgram(int argc, char** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i)
        arguments.emplace_back(argv[i]);
    StoredArguments() = std::move(arguments);
}

std::string ParamStr(int index)
{
    if (index == 0)
        return ProgramFileName();
    const auto& arguments = Arguments();
    if (index < 0 || index > static_cast<int>(arguments.size()))
        return {};
    return Utf8ToCp1252(arguments[static_cast<std::size_t>(index - 1)]);
}

int ParamCount() { return static_cast<int>(Arguments().size()); }

std::string ProgramFileName()
{
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            const int error = errno;
            throw EInOutError("Cannot find the program file. "
                                  + std::error_code(error, std::generic_category()).message(),
                              error);
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            break;
        }
        // The name may have been cut; try again with room to spare.
        buffer.resize(buffer.size() * 2);
    }
    return FromSystemPath(buffer);
}
