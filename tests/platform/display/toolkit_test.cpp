// Texts and keys at the toolkit's edge: CP1252 inside, UTF-8 outside.

#include "platform/core/AnsiString.h"
#include "platform/display/Toolkit.h"

#include <gtest/gtest.h>

#include <FL/Enumerations.H>
#include <FL/Fl.H>

#include "platform/graphics/TCanvas.h"

namespace {

TEST(Toolkit, TypedTextKeepsWhatCp1252HoldsAndDropsTheRest)
{
    struct TCase {
        const char* Name;
        std::string Utf8;
        std::string Cp1252;
    } cases[] = {
        {"ascii", "abc", "abc"},
        {"umlaut", "Zur\xC3\xBC" "ck", "Zur\xFC" "ck"},
        {"euro, a CP1252 extra", "\xE2\x82\xAC" "5", "\x80" "5"},
        {"greek omega dropped", "a\xCE\xA9" "b", "ab"},
        {"emoji dropped", "x\xF0\x9F\x98\x80y", "xy"},
        {"broken lead byte dropped", "a\xC3", "a"},
        {"stray continuation dropped", "a\x80" "b", "ab"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Toolkit::FromText(c.Utf8), c.Cp1252);
    }
}

TEST(Toolkit, LabelsShowAtSignsAsThemselves)
{
    EXPECT_EQ(Toolkit::Label("mail@home \xFC"), "mail@@home \xC3\xBC");
    EXPECT_EQ(Toolkit::Text("mail@home"), "mail@home");
}

// Widgets and the canvas draw one face for one name; the style mark comes first.
TEST(Toolkit, AcceleratorMarksLeaveCaptions)
{
    struct TCase {
        const char* Caption;
        const char* Plain;
        int Marked;
    } cases[] = {
        {"3. Create && save pictures", "3. Create & save pictures", -1},
        {"&File", "File", 0},
        {"Save &as && close", "Save as & close", 5},
        {"trailing &", "trailing &", -1},
        {"", "", -1},
    };
    for (const TCase& c : cases) {
        int marked = 7;
        EXPECT_EQ(StripAccelerator(c.Caption, marked), c.Plain);
        EXPECT_EQ(marked, c.Marked) << c.Caption;
    }
}

TEST(Toolkit, WindowsFontNamesBecomeTheCanvasFamilies)
{
    struct TCase {
        const char* Name;
        TFontStyles Style;
        const char* Toolkit;
    } cases[] = {
        {"MS Sans Serif", 0, " Liberation Sans"},
        {"Tahoma", fsBold, "BLiberation Sans"},
        {"Verdana", fsItalic, "IDejaVu Sans"},
        {"Courier New", 0, " Liberation Mono"},
        {"Some Font Of Its Own", 0, " Some Font Of Its Own"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TFont font;
        font.SetName(c.Name);
        font.SetStyle(c.Style);
        EXPECT_STREQ(Fl::get_font(Toolkit::Font(font)), c.Toolkit);
    }
}

TEST(Toolkit, CharCountCountsCodePointsNotBytes)
{
    const std::string text = "a\xC3\xBC\xE2\x82\xAC" "b";
    EXPECT_EQ(Toolkit::CharCount(text, 0), 0);
    EXPECT_EQ(Toolkit::CharCount(text, 3), 2);
    EXPECT_EQ(Toolkit::CharCount(text, text.size()), 4);
    EXPECT_EQ(Toolkit::CharCount(text, 100), 4);
}

TEST(Toolkit, KeysBecomeVirtualKeys)
{
    const std::pair<int, std::uint16_t> cases[] = {
        {'a', 'A'},          {'z', 'Z'},          {'7', '7'},         {' ', VK_SPACE},   {FL_Enter, VK_RETURN},
        {FL_KP_Enter, VK_RETURN}, {FL_BackSpace, VK_BACK}, {FL_Escape, VK_ESCAPE}, {FL_Tab, VK_TAB},
        {FL_Left, VK_LEFT},  {FL_Page_Down, VK_NEXT}, {FL_Delete, VK_DELETE}, {FL_F + 1, VK_F1},
        {FL_F + 12, VK_F1 + 11}, {FL_KP + '3', 0x63}, {FL_Shift_R, VK_SHIFT}, {',', 0xBC}, {0xFC, 0},
    };
    for (const auto& [key, vk] : cases) {
        SCOPED_TRACE(key);
        EXPECT_EQ(Toolkit::VirtualKey(key), vk);
    }
    EXPECT_EQ(Toolkit::Shift(FL_SHIFT | FL_CTRL | FL_BUTTON1), ssShift | ssCtrl | ssLeft);
}

}  // namespace
