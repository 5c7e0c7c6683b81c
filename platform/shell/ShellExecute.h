#pragma once

// Starting programs, documents and web addresses.
//
// "open" (or an empty verb) of
// - an executable file starts it detached (its own session, no zombie left
//   behind), with the parameter line split at blanks into its arguments; no
//   quoting, since the programs write blanks inside arguments as "%20" or "*";
// - a web address ("scheme://...", "mailto:"), another file or a folder hands
//   it to `xdg-open`, started the same way; an opener that ends unsuccessfully
//   within three seconds (no program for the type, or one that cannot run)
//   makes the call fail with SE_ERR_NOASSOC, as Windows answers at once.
// A relative file is taken from `directory` when one is given, and the program
// starts in `directory` (else in the current folder). Texts are CP1252 and
// reach the system as UTF-8.
//
// Every call is recorded in an in-process list that tests read. In record-only
// mode (the environment variable GALLERY_SHELL=record, or
// SetShellRecordOnly(true)) nothing is started and the call answers as a real
// start would have: success for an existing program, document or address.
//
// Results follow Windows: above 32 on success, else one of the error numbers
// below.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/loop/Messages.h"

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOW = 5;

inline constexpr std::intptr_t SHELL_SUCCESS = 42;
inline constexpr std::intptr_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::intptr_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr std::intptr_t SE_ERR_ACCESSDENIED = 5;
inline constexpr std::intptr_t ERROR_BAD_FORMAT = 11;
inline constexpr std::intptr_t SE_ERR_NOASSOC = 31;

// Whether a result of ShellExecute means the start succeeded.
constexpr bool ShellStarted(std::intptr_t result) { return result > 32; }

enum class TShellTarget { Program, Document, Address, Missing, Unsupported };

struct TShellStart {
    std::string Verb;
    std::string File;
    std::string Parameters;
    std::string Directory;
    int ShowCommand = 0;
    TShellTarget Target = TShellTarget::Missing;
    // What would be or was executed: the program (or "xdg-open") and its
    // arguments after the program name, all CP1252.
    std::string Program;
    std::vector<std::string> Arguments;
    bool Started = false;  // false in record-only mode and on failure
    std::intptr_t Result = 0;
};

std::intptr_t ShellExecute(HWND owner, std::string_view verb, std::string_view file,
                           std::string_view parameters, std::string_view directory,
                           int showCommand);

// The parameter line as a program receives it: split at blanks (space, tab),
// empty pieces dropped.
std::vector<std::string> SplitShellParameters(std::string_view parameters);

void SetShellRecordOnly(bool recordOnly);
// True when switched on by SetShellRecordOnly or by GALLERY_SHELL=record.
bool ShellRecordOnly();
std::vector<TShellStart> RecordedShellStarts();
void ClearRecordedShellStarts();
