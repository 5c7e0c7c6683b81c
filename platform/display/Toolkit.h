#pragma once

// What crosses between our types and the toolkit's: texts (CP1252 inside,
// UTF-8 at the toolkit), colours, fonts, keys and shift states, and widget
// construction without the toolkit's implicit current group.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include <FL/Enumerations.H>
#include <FL/Fl_Group.H>

#include "platform/controls/Events.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/TCanvas.h"

namespace Toolkit {

// CP1252 to the toolkit's UTF-8.
std::string Text(std::string_view cp1252);
// A caption as a widget label: "@" would start one of the toolkit's symbols.
std::string Label(std::string_view cp1252);
// The toolkit's UTF-8 to CP1252; characters CP1252 cannot hold, and broken
// sequences, are dropped.
std::string FromText(std::string_view utf8);
// The number of characters in the first `bytes` bytes of a UTF-8 text.
int CharCount(std::string_view utf8, std::size_t bytes);

Fl_Color Color(TColor color);
Fl_Font Font(const TFont& font);
int FontSize(const TFont& font);

// The virtual key of a toolkit key (0 when it has none) and the shift state.
std::uint16_t VirtualKey(int key);
TShiftState Shift(int state);
// The event's mouse button.
TMouseButton Button(int button);

// Makes a widget outside any current group; groups are closed at once.
template <class W, class... Args>
std::unique_ptr<W> Make(Args&&... args)
{
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    auto widget = std::make_unique<W>(std::forward<Args>(args)...);
    if constexpr (std::is_base_of_v<Fl_Group, W>) widget->end();
    Fl_Group::current(saved);
    return widget;
}

}  // namespace Toolkit
