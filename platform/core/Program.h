#pragma once

// The running program: its own file and its start arguments. `InitProgram` is
// called once from main; without it, the program file comes from /proc.

#include <string>
#include <vector>

void InitProgram(int argc, char** argv);

// ParamStr(0) is the full path of the program file; 1..ParamCount the arguments.
std::string ParamStr(int index);
int ParamCount();
// The full path of the running program file, with symbolic links resolved.
std::string ProgramFileName();
