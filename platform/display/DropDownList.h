#pragma once

// The drop-down list of combo boxes and choice fields: a borderless window
// below a field that grabs the pointer and keyboard while open. A click or
// Return on a row chooses it; Escape or a click elsewhere dismisses. `done`
// gets the chosen row or -1, inside the toolkit's event handling.

#include <functional>
#include <string>
#include <vector>

#include <FL/Enumerations.H>

// `rows` are UTF-8. (x, y) is the screen point below the field's left edge.
void OpenDropDown(std::vector<std::string> rows, int selected, int x, int y, int width, int visibleRows,
                  Fl_Font font, int size, std::function<void(int)> done);
bool DropDownOpen();
