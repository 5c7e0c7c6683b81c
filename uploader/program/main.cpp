// sendaro: the FTP uploader. The builder starts it with the gallery folder,
// its blanks written as "*".

#include "platform/display/WindowsProgram.h"
#include "uploader/SendaroWindows.h"

int main(int argc, char** argv)
{
    return RunWindowsProgram(argc, argv, {"sendaro", "sendaro", CreateSendaroWindows});
}
