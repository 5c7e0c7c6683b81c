// stampel: the watermark plug-in. By hand it opens on its assistant; the
// builder starts it with a gallery folder and "/V", "/T" or "/A".

#include "platform/display/WindowsProgram.h"
#include "watermark/StampelWindows.h"

int main(int argc, char** argv)
{
    return RunWindowsProgram(argc, argv, {"stampel", "stampel", CreateStampelWindows});
}
