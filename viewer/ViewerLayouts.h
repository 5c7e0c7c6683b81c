#pragma once

// Registers the viewer's window layouts, built into the program.
void RegisterViewerLayouts();
