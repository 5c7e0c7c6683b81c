#include "platform/shell/ShellExecute.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/core/AnsiString.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"

namespace {

std::atomic<bool> gRecordOnly{false};

struct StartLog {
    std::mutex Mutex;
    std::vector<TShellStart> Starts;
};

StartLog& Log()
{
    static StartLog* log = new StartLog();
    return *log;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// "http://x", "ftp://x", "mailto:x": a scheme of letters, digits, "+", "-", "."
// before "://", or mailto. A one-letter scheme would be a drive, which does not exist here.
bool IsAddress(std::string_view file)
{
    if (file.size() > 7 && EqualsIgnoringCase(file.substr(0, 7), "mailto:"))
        return true;
    std::size_t colon = file.find("://");
    if (colon == std::string_view::npos || colon < 2)
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        char c = file[i];
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > 0 && other))
            return false;
    }
    return true;
}

// xdg-open's place, looked up before any fork (a forked child of a threaded
// process may only make async-signal-safe calls).
std::string FindOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!rest.empty()) {
        std::size_t end = rest.find(':');
        std::string dir(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (dir.empty())
            continue;
        std::string candidate = dir + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

// Closes a descriptor on every way out.
struct Fd {
    int Value = -1;
    ~Fd()
    {
        if (Value >= 0)
            close(Value);
    }
};

// Starts `program` (a system path) in its own session through a short-lived
// middle child that the caller reaps at once, so the started program is
// re-parented and never becomes our zombie. Answers 0 on success, else the
// errno of the failed step (the exec's own failure included, reported back
// through a close-on-exec pipe).
// With `openerWait` the middle process watches the program that long: an
// opener (xdg-open) that ends unsuccessfully within it found nothing to open
// the document with, which Windows answers at once (OpenerFailed); one still
// running then has started whatever opens the document.
constexpr int OpenerFailed = -1;
constexpr int OpenerWaitMs = 3000;

int StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& directory, int openerWait = 0)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const char* dir = directory.empty() ? nullptr : directory.c_str();

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return errno;
    Fd readEnd{pipeFds[0]};
    Fd writeEnd{pipeFds[1]};

    pid_t middle = fork();
    if (middle < 0)
        return errno;
    if (middle == 0) {
        auto fail = [&](int error) {
            [[maybe_unused]] ssize_t written = write(pipeFds[1], &error, sizeof error);
            _exit(127);
        };
        setsid();
        pid_t child = fork();
        if (child < 0)
            fail(errno);
        if (child > 0) {
            for (int waited = 0; waited < openerWait; waited += 20) {
                int childStatus = 0;
                const pid_t done = waitpid(child, &childStatus, WNOHANG);
                if (done == child) {
                    if (!WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0) fail(OpenerFailed);
                    _exit(0);
                }
                const timespec tick{0, 20'000'000};
                nanosleep(&tick, nullptr);
            }
            _exit(0);
        }
        if (dir && chdir(dir) != 0)
            fail(errno);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGPIPE, SIG_DFL);
        int devNull = open("/dev/null", O_RDONLY);
        if (devNull >= 0) {
            dup2(devNull, 0);
            if (devNull != 0)
                close(devNull);
        }
        execv(program.c_str(), argv.data());
        fail(errno);
    }
    close(writeEnd.Value);
    writeEnd.Value = -1;
    int status = 0;
    while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = read(readEnd.Value, &error, sizeof error)) < 0 && errno == EINTR) {
    }
    if (got == static_cast<ssize_t>(sizeof error))
        return error;
    return 0;
}

std::intptr_t ResultOfErrno(int error)
{
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
        return SE_ERR_ACCESSDENIED;
    case ENOEXEC:
        return ERROR_BAD_FORMAT;
    default:
        return SE_ERR_NOASSOC;
    }
}

void Record(const TShellStart& start)
{
    std::lock_guard lock(Log().Mutex);
    Log().Starts.push_back(start);
}

}  // namespace

std::vector<std::string> SplitShellParameters(std::string_view parameters)
{
    std::vector<std::string> result;
    std::size_t i = 0;
    while (i < parameters.size()) {
        while (i < parameters.size() && (parameters[i] == ' ' || parameters[i] == '\t'))
            ++i;
        std::size_t start = i;
        while (i < parameters.size() && parameters[i] != ' ' && parameters[i] != '\t')
            ++i;
        if (i > start)
            result.emplace_back(parameters.substr(start, i - start));
    }
    return result;
}

std::intptr_t ShellExecute(HWND, std::string_view verb, std::string_view file,
                           std::string_view parameters, std::string_view directory,
                           int showCommand)
{
    TShellStart start;
    start.Verb = verb;
    start.File = file;
    start.Parameters = parameters;
    start.Directory = directory;
    start.ShowCommand = showCommand;
    bool recordOnly = ShellRecordOnly();

    // The decision is made on system (UTF-8) texts; a name that cannot be
    // converted fails the call instead of starting something else.
    std::string systemFile;
    std::string systemDir;
    std::vector<std::string> systemArguments;
    try {
        systemFile = ToSystemPath(file);
        systemDir = directory.empty() ? std::string() : ToSystemPath(directory);
        for (const std::string& argument : SplitShellParameters(parameters))
            systemArguments.push_back(Cp1252ToUtf8(argument));
    } catch (const Exception&) {
        start.Result = ERROR_FILE_NOT_FOUND;
        Record(start);
        return start.Result;
    }

    if (!verb.empty() && !EqualsIgnoringCase(verb, "open") && !EqualsIgnoringCase(verb, "explore")) {
        start.Target = TShellTarget::Unsupported;
        start.Result = SE_ERR_NOASSOC;
        Record(start);
        return start.Result;
    }

    std::string program;
    std::vector<std::string> arguments;
    if (IsAddress(file)) {
        start.Target = TShellTarget::Address;
    } else {
        std::string path = systemFile;
        if (!path.empty() && path.front() != '/' && !systemDir.empty())
            path = systemDir + (systemDir.back() == '/' ? "" : "/") + path;
        struct stat info {};
        if (path.empty() || stat(path.c_str(), &info) != 0) {
            start.Target = TShellTarget::Missing;
            start.Result = ERROR_FILE_NOT_FOUND;
            Record(start);
            return start.Result;
        }
        systemFile = path;
        bool executable = S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
        start.Target = executable ? TShellTarget::Program : TShellTarget::Document;
    }

    if (start.Target == TShellTarget::Program) {
        program = systemFile;
        arguments = systemArguments;
        start.Program = FromSystemPath(program);
        start.Arguments = SplitShellParameters(parameters);
    } else {
        program = FindOnPath("xdg-open");
        arguments = {systemFile};
        start.Program = "xdg-open";
        start.Arguments = {std::string(file)};
    }

    if (recordOnly) {
        start.Result = SHELL_SUCCESS;
        Record(start);
        return start.Result;
    }
    if (program.empty()) {
        start.Result = SE_ERR_NOASSOC;  // no xdg-open on this system
        Record(start);
        return start.Result;
    }
    // Documents and addresses: the opener's own failure (no program for the
    // type, or one that cannot run) is the call's, as on Windows.
    const int openerWait = start.Target == TShellTarget::Program ? 0 : OpenerWaitMs;
    int error = StartDetached(program, arguments, systemDir, openerWait);
    start.Started = error == 0;
    start.Result = error == 0 ? SHELL_SUCCESS : error == OpenerFailed ? SE_ERR_NOASSOC : ResultOfErrno(error);
    Record(start);
    return start.Result;
}

void SetShellRecordOnly(bool recordOnly) { gRecordOnly = recordOnly; }

bool ShellRecordOnly()
{
    if (gRecordOnly)
        return true;
    const char* mode = std::getenv("GALLERY_SHELL");
    return mode && std::string_view(mode) == "record";
}

std::vector<TShellStart> RecordedShellStarts()
{
    std::lock_guard lock(Log().Mutex);
    return Log().Starts;
}

void ClearRecordedShellStarts()
{
    std::lock_guard lock(Log().Mutex);
    Log().Starts.clear();
}
