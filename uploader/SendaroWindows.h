#pragma once

class TApplication;

// The uploader's five windows in their order: the main window, the account
// editor, the account chooser, the protocol window and the overwrite prompt.
void CreateSendaroWindows(TApplication& application);
