#pragma once

// The builder's texts in German and English: per language a fixed list of
// rows, each a target and what it gets. TForm1::SetLang applies them.
//
// A target names
// - a component of a builder window: "TForm7.Label2" (window class, then the
//   component's name), with a list item in brackets: "TForm1.ComboBox1[0]";
// - a window itself by its class: "TVM" (its caption);
// - one of the navigation words of the generated pages: "NavBackText".
//
// A row either gives a text (CP1252 bytes, lines of a text box joined by
// CR LF) or, through From, names another target whose picture or text it
// copies (a language's picture from a hidden holder image).

#include <span>
#include <string_view>

struct TLanguageRow {
    std::string_view Target;
    std::string_view Text;
    std::string_view From = {};
};

// The rows of "ger" or "eng"; no rows for any other code.
std::span<const TLanguageRow> LanguageRows(std::string_view lang);
