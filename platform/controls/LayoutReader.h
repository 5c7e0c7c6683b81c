#pragma once

// Window layouts: a small readable text format, one resource per window.
//
//   object Form1: TForm1            // the root: the form being made
//     Caption = 'Gallery'           // texts in single quotes, '' for a quote,
//     Width = 400                   //   #13#10 for control characters
//     Font.Style = [fsBold]         // sets
//     OnCreate = FormCreate         // handler names, from the form's table
//     object ListBox1: TListBox     // children: created, owned by the root,
//       Items.Strings = (           //   placed in their enclosing object
//         'first'
//         'second')
//       Picture.Data = {424D...}    // binary data in hexadecimal
//     end
//   end
//
// The files are UTF-8; texts are held as CP1252 inside. Reading streams the
// values through each class's property table (Properties.h). An unknown class,
// property or handler, a value of the wrong kind, or a broken file raises
// ELayoutError naming the resource and line, before the form is used.
// References between components (Associate = Edit1) are resolved at the end.
// A nested object goes to its enclosing one's ChildParent (a grid panel keeps
// its children on its cell), and is written back from there.
// Writing gives every property that differs from a new component of the same
// class, so a written layout reads back to the same components.

#include <string>
#include <string_view>

#include "platform/controls/Properties.h"

// With `bindings`, each named component then goes into its member of the root
// (Properties.h); a missing one raises ELayoutError.
void ReadComponentLayout(TComponent& root, std::string_view text, const THandlerTable* handlers,
                         const std::string& sourceName, const TBindingTable* bindings = nullptr);
std::string WriteComponentLayout(const TComponent& root);

// Layout texts by resource name: one registered in memory first, else the file
// "<name>.layout" in the layout folder (by default "resources/" beside the
// program file). ELayoutError when there is neither.
void RegisterLayoutResource(const std::string& name, std::string text);
void SetLayoutDirectory(const std::string& dir);
std::string LayoutResource(const std::string& name);
// A file named in a layout, relative to the layout folder.
std::string LayoutFileName(const std::string& name);
