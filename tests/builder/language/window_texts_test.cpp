// Every text of the builder's windows fits its control in both languages:
// captions of labels, check boxes, radio buttons and buttons fit their width
// and height, and a fixed read-only text box shows all of its wrapped lines.
// Texts are measured with the canvas in the control's own font.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "builder/dialogs/PdfPageHolderForm.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TLabel.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"
#include "tests/builder/program_fixture.h"

using namespace buildertest;

namespace {

// Room the controls keep for themselves: a check mark or radio circle with
// its gap, a button's bevel, a text box's frame and margins.
constexpr int MarkWidth = 20;
constexpr int ButtonPadding = 8;
constexpr int BoxFrame = 2 * 2 + 2 * 3;
constexpr int ScrollBarWidth = 16;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 2;
    }
}

class TMeasure {
public:
    TMeasure() : FBitmap(8, 8, pf24bit) {}
    int Width(const TFont& font, const std::string& text)
    {
        FBitmap.Canvas().Font().Assign(font);
        return FBitmap.Canvas().TextWidth(text);
    }
    int LineHeight(const TFont& font)
    {
        FBitmap.Canvas().Font().Assign(font);
        return FBitmap.Canvas().TextHeight("Ag");
    }
    int WidestLine(const TFont& font, const std::string& text)
    {
        int widest = 0;
        for (const std::string& line : Lines(text))
            widest = std::max(widest, Width(font, line));
        return widest;
    }
    // The rows a word-wrapping box of that inner width needs.
    int WrappedRows(const TFont& font, const std::vector<std::string>& lines, int width)
    {
        int rows = 0;
        for (const std::string& line : lines) {
            ++rows;
            std::string row;
            std::size_t at = 0;
            while (at < line.size()) {
                std::size_t end = line.find(' ', at);
                if (end == std::string::npos)
                    end = line.size();
                const std::string word = line.substr(at, end - at);
                const std::string longer = row.empty() ? word : row + " " + word;
                if (!row.empty() && Width(font, longer) > width) {
                    ++rows;
                    row = word;
                } else {
                    row = longer;
                }
                at = end + 1;
            }
        }
        return rows;
    }

private:
    TBitmap FBitmap;
};

std::string Where(const TControl& c) { return c.Owner() ? c.Owner()->Name() + "." + c.Name() : c.Name(); }

void CollectTextFaults(const TWinControl& parent, TMeasure& measure, std::vector<std::string>& faults)
{
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* c = parent.Controls(i);
        const TRect client = parent.ClientRect();
        const TRect r = c->BoundsRect();
        // Hidden controls and the start screen's stored texts outside the view.
        if (!c->Visible() || r.Left >= client.Right || r.Top >= client.Bottom || r.Right <= 0 || r.Bottom <= 0)
            continue;
        const TFont& font = c->Font();
        const std::string& caption = c->Caption();
        int room = 0;
        int needed = 0;
        if (const auto* label = dynamic_cast<const TLabel*>(c); label && !label->WordWrap() && !caption.empty()) {
            room = c->Width();
            needed = measure.WidestLine(font, caption);
            const int height = static_cast<int>(Lines(caption).size()) * measure.LineHeight(font);
            if (height > c->Height())
                faults.push_back(Where(*c) + ": \"" + caption + "\" needs " + std::to_string(height) +
                                 " pixels of height, has " + std::to_string(c->Height()));
        } else if ((dynamic_cast<const TCheckBox*>(c) || dynamic_cast<const TRadioButton*>(c)) && !caption.empty()) {
            room = c->Width() - MarkWidth;
            needed = measure.Width(font, caption);
        } else if (dynamic_cast<const TButton*>(c) && !caption.empty()) {
            room = c->Width() - ButtonPadding;
            needed = measure.Width(font, caption);
            if (auto* bitbtn = dynamic_cast<TBitBtn*>(c); bitbtn && bitbtn->Glyph().Width() > 0)
                needed += bitbtn->Glyph().Width() / bitbtn->NumGlyphs() + 4;
        } else if (auto* memo = dynamic_cast<TMemo*>(c);
                   memo && memo->ReadOnly() && memo->ScrollBars() == ssNone && memo->WordWrap()) {
            const int width = c->Width() - BoxFrame;
            const int rows = measure.WrappedRows(font, memo->Lines().Items(), width);
            // The box's rows are a pixel taller than the canvas's line.
            const int height = rows * (measure.LineHeight(font) + 1) + BoxFrame;
            if (height > c->Height())
                faults.push_back(Where(*c) + ": its text wraps into " + std::to_string(rows) + " rows, " +
                                 std::to_string(height) + " pixels high; the box has " +
                                 std::to_string(c->Height()));
        }
        if (needed > room)
            faults.push_back(Where(*c) + ": \"" + caption + "\" needs " + std::to_string(needed) +
                             " pixels, has " + std::to_string(room));
        if (const auto* inner = dynamic_cast<const TWinControl*>(c))
            CollectTextFaults(*inner, measure, faults);
    }
}

class WindowTextsTest : public BuilderProgramTest {};

TEST_F(WindowTextsTest, EveryTextFitsItsControlInBothLanguages)
{
    TMeasure measure;
    for (const char* language : {"eng", "ger"}) {
        SCOPED_TRACE(language);
        Wizard->SetLang(language);
        for (int i = 0; i < App.ComponentCount(); ++i) {
            auto* form = dynamic_cast<TCustomForm*>(App.Components(i));
            if (!form || form == PdfPageHolderForm)
                continue;
            std::vector<std::string> faults;
            if (form == Wizard)
                for (int page = 0; page < Wizard->PageControl1->PageCount(); ++page)
                    CollectTextFaults(*Wizard->PageControl1->Pages(page), measure, faults);
            else
                CollectTextFaults(*form, measure, faults);
            for (const std::string& fault : faults)
                ADD_FAILURE() << fault;
        }
    }
}

}  // namespace
