#pragma once

// What a program started detached has to tell its user: the error output in
// any case and, when a desktop answers, a message box with `caption` too.
// For programs that have no window of their own.

#include <string>

void TellOnDesktop(const std::string& program, const std::string& caption, const std::string& text);
