#pragma once

class TApplication;

// The plug-in's three windows in the order their creation relies on: the
// assistant reads the start arguments before the gallery dialog uses them.
void CreateStampelWindows(TApplication& application);
