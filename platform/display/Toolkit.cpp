#include "platform/display/Toolkit.h"

#include <deque>
#include <map>
#include <tuple>

#include "platform/core/AnsiString.h"
#include "platform/graphics/FontEngine.h"

#include <FL/Fl.H>

namespace Toolkit {

namespace {

// Length of the UTF-8 sequence that starts with `lead`; 0 for a byte that
// cannot start one.
std::size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

}  // namespace

std::string Text(std::string_view cp1252) { return Cp1252ToUtf8(cp1252); }

std::string Label(std::string_view cp1252)
{
    std::string out;
    for (char c : Cp1252ToUtf8(cp1252)) {
        out += c;
        if (c == '@') out += '@';
    }
    return out;
}

std::string FromText(std::string_view utf8)
{
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t n = SequenceLength(static_cast<unsigned char>(utf8[i]));
        if (n == 0 || i + n > utf8.size()) {
            ++i;
            continue;
        }
        std::string one;
        if (TryUtf8ToCp1252(utf8.substr(i, n), one)) out += one;
        i += n;
    }
    return out;
}

int CharCount(std::string_view utf8, std::size_t bytes)
{
    int count = 0;
    for (std::size_t i = 0; i < bytes && i < utf8.size(); ++i)
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) ++count;
    return count;
}

Fl_Color Color(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return fl_rgb_color(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

Fl_Font Font(const TFont& font)
{
    // The toolkit keeps the name pointers it is given; they live here, one per
    // family and style, for the whole run.
    static std::deque<std::string> names;
    static std::map<std::tuple<std::string, bool, bool>, Fl_Font> fonts;
    static Fl_Font next = FL_FREE_FONT;
    const bool bold = (font.Style() & fsBold) != 0;
    const bool italic = (font.Style() & fsItalic) != 0;
    const auto key = std::make_tuple(font.Name(), bold, italic);
    if (auto found = fonts.find(key); found != fonts.end()) return found->second;
    // The first character is the toolkit's style mark: plain, bold, italic, both.
    const char mark = bold && italic ? 'P' : bold ? 'B' : italic ? 'I' : ' ';
    // The Windows names go to the same families the canvas draws with, so a
    // widget's text has the face and width of a label's beside it; asked as
    // they are, fontconfig would substitute a face of its own choice.
    const std::string family = MappedFontFamily(font.Name());
    names.push_back(mark + Cp1252ToUtf8(family.empty() ? font.Name() : family));
    const Fl_Font index = next++;
    Fl::set_font(index, names.back().c_str());
    fonts.emplace(key, index);
    return index;
}

int FontSize(const TFont& font)
{
    // A negative height is the character height in pixels, which is what the
    // toolkit's size means; a positive one includes the leading.
    const int h = font.Height();
    const int size = h < 0 ? -h : h * 4 / 5;
    return size < 6 ? 6 : size;
}

std::uint16_t VirtualKey(int key)
{
    if (key >= 'a' && key <= 'z') return static_cast<std::uint16_t>(key - 'a' + 'A');
    if ((key >= '0' && key <= '9') || key == ' ') return static_cast<std::uint16_t>(key);
    if (key >= FL_F + 1 && key <= FL_F + 24) return static_cast<std::uint16_t>(VK_F1 + key - FL_F - 1);
    if (key >= FL_KP + '0' && key <= FL_KP + '9') return static_cast<std::uint16_t>(0x60 + key - FL_KP - '0');
    switch (key) {
    case FL_BackSpace: return VK_BACK;
    case FL_Tab: return VK_TAB;
    case FL_Enter:
    case FL_KP_Enter: return VK_RETURN;
    case FL_Escape: return VK_ESCAPE;
    case FL_Shift_L:
    case FL_Shift_R: return VK_SHIFT;
    case FL_Control_L:
    case FL_Control_R: return VK_CONTROL;
    case FL_Alt_L:
    case FL_Alt_R: return 18;  // VK_MENU
    case FL_Pause: return 19;
    case FL_Caps_Lock: return 20;
    case FL_Page_Up: return VK_PRIOR;
    case FL_Page_Down: return VK_NEXT;
    case FL_End: return VK_END;
    case FL_Home: return VK_HOME;
    case FL_Left: return VK_LEFT;
    case FL_Up: return VK_UP;
    case FL_Right: return VK_RIGHT;
    case FL_Down: return VK_DOWN;
    case FL_Print: return 44;
    case FL_Insert: return 45;
    case FL_Delete: return VK_DELETE;
    case FL_Menu: return 93;
    case FL_KP + '*': return 0x6A;
    case FL_KP + '+': return 0x6B;
    case FL_KP + '-': return 0x6D;
    case FL_KP + '.': return 0x6E;
    case FL_KP + '/': return 0x6F;
    // The punctuation keys of a US keyboard.
    case ';': return 0xBA;
    case '=': return 0xBB;
    case ',': return 0xBC;
    case '-': return 0xBD;
    case '.': return 0xBE;
    case '/': return 0xBF;
    case '`': return 0xC0;
    case '[': return 0xDB;
    case '\\': return 0xDC;
    case ']': return 0xDD;
    case '\'': return 0xDE;
    default: return 0;
    }
}

TShiftState Shift(int state)
{
    TShiftState shift = 0;
    if (state & FL_SHIFT) shift |= ssShift;
    if (state & FL_ALT) shift |= ssAlt;
    if (state & FL_CTRL) shift |= ssCtrl;
    if (state & FL_BUTTON1) shift |= ssLeft;
    if (state & FL_BUTTON3) shift |= ssRight;
    if (state & FL_BUTTON2) shift |= ssMiddle;
    return shift;
}

TMouseButton Button(int button)
{
    if (button == FL_RIGHT_MOUSE) return mbRight;
    if (button == FL_MIDDLE_MOUSE) return mbMiddle;
    return mbLeft;
}

}  // namespace Toolkit
