#pragma once

// The display backend: real windows for the component model through FLTK.
//
// A program calls InstallDisplayBackend at start. When DISPLAY names an X
// server that answers, it opens the connection, hooks the toolkit into the
// calling thread's loop core (see TDisplay.h for how it is pumped), installs
// the peer factory (every windowed control of a shown form gets a widget) and
// the user-interaction interface of real windows (modal forms wait for the
// person; message boxes, file, colour, font and folder dialogs and pop-up
// menus are windows). It answers true then. Headless it does nothing and
// answers false: no peer is ever made and the model runs as in the tests.
//
// Install and uninstall on the UI thread; uninstall once no form is left.

#include "platform/controls/Forward.h"
#include "platform/controls/TControl.h"
#include "platform/graphics/Types.h"

bool InstallDisplayBackend();
bool DisplayBackendInstalled();
void UninstallDisplayBackend();
// The screen rectangle of a shown form's window, its menu bar included; empty
// without a window.
TRect DisplayWindowRect(const TCustomForm& form);
// Whether a shown form's window shows `cursor` where no control has its own.
bool DisplayShowsCursor(const TCustomForm& form, TCursor cursor);
