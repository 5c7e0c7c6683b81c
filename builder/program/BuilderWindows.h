#pragma once

// Every window of the builder, made once at the program's start in a fixed
// order: the start screen first (the main window: closing it ends the
// program), then the wizard and the dialogs. All but the start screen start
// hidden and live until the end.

class TApplication;

void CreateBuilderWindows(TApplication& application);
