#include "platform/controls/TEdit.h"

#include <algorithm>

#include "platform/controls/Properties.h"
#include "platform/graphics/FontEngine.h"

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

const TPropertyTable& TCustomEdit::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.String<TCustomEdit>("Text", &TCustomEdit::Text, &TCustomEdit::SetText);
        t.Bool<TCustomEdit>("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
        t.Int<TCustomEdit>("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength);
        t.Int<TCustomEdit>("PasswordChar", [](const TCustomEdit& e) { return static_cast<unsigned char>(e.PasswordChar()); },
                           [](TCustomEdit& e, int v) { e.SetPasswordChar(static_cast<char>(v)); });
        t.Bool<TCustomEdit>("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect);
        t.Enum<TCustomEdit, TEditCharCase>("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase,
                                           {"ecNormal", "ecUpperCase", "ecLowerCase"});
        t.EventHandler<TCustomEdit>("OnChange", &TCustomEdit::OnChange);
        return t;
    }();
    return table;
}

void TCustomEdit::SetSelStart(int value)
{
    FSelStart = std::clamp(value, 0, static_cast<int>(Text().size()));
    FSelLength = 0;
}

void TCustomEdit::SetSelLength(int value)
{
    FSelLength = std::clamp(value, 0, static_cast<int>(Text().size()) - FSelStart);
}

std::string TCustomEdit::SelText() const
{
    return Text().substr(static_cast<std::size_t>(FSelStart), static_cast<std::size_t>(FSelLength));
}

void TCustomEdit::SelectAll()
{
    FSelStart = 0;
    FSelLength = static_cast<int>(Text().size());
}

void TCustomEdit::TextChanged()
{
    // The caret stays where it was, inside the new text.
    FSelStart = std::min(FSelStart, static_cast<int>(Text().size()));
    FSelLength = std::min(FSelLength, static_cast<int>(Text().size()) - FSelStart);
    Change();
}

void TCustomEdit::Change()
{
    if (Loading()) return;
    Fire(*this, OnChange, this);
}

void TCustomEdit::ReplaceSelection(const std::string& typed)
{
    std::string text = Text();
    std::string insert = typed;
    if (FCharCase != ecNormal)
        for (char& c : insert) {
            if (FCharCase == ecUpperCase && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (FCharCase == ecLowerCase && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
    text.erase(static_cast<std::size_t>(FSelStart), static_cast<std::size_t>(FSelLength));
    if (FMaxLength > 0 && text.size() + insert.size() > static_cast<std::size_t>(FMaxLength))
        insert.resize(static_cast<std::size_t>(FMaxLength) - std::min(text.size(), static_cast<std::size_t>(FMaxLength)));
    text.insert(static_cast<std::size_t>(FSelStart), insert);
    const int caret = FSelStart + static_cast<int>(insert.size());
    FSelStart = caret;
    FSelLength = 0;
    SetText(text);
    FSelStart = std::min(caret, static_cast<int>(Text().size()));
}

void TCustomEdit::KeyDown(std::uint16_t& key, TShiftState)
{
    const int size = static_cast<int>(Text().size());
    switch (key) {
    case VK_LEFT: SetSelStart(FSelStart - 1); break;
    case VK_RIGHT: SetSelStart(FSelStart + FSelLength + 1); break;
    case VK_HOME: SetSelStart(0); break;
    case VK_END: SetSelStart(size); break;
    case VK_DELETE:
        if (FReadOnly) break;
        if (FSelLength == 0 && FSelStart < size) FSelLength = 1;
        ReplaceSelection("");
        break;
    default: break;
    }
}

void TCustomEdit::KeyPress(char& key)
{
    if (FReadOnly) return;
    const unsigned char c = static_cast<unsigned char>(key);
    if (key == '\b') {
        if (FSelLength == 0 && FSelStart > 0) {
            --FSelStart;
            FSelLength = 1;
        }
        ReplaceSelection("");
    } else if (c >= 32 && c != 127) {
        ReplaceSelection(std::string(1, key));
    }
}

void TCustomEdit::DoEnter()
{
    if (FAutoSelect && !FClickFocus) SelectAll();
    FClickFocus = false;
}

// Selected, so that typing replaces the text. The widget is told: no focus
// change of its own selects it.
void TCustomEdit::FocusedByOpening()
{
    if (!FAutoSelect) return;
    SelectAll();
    NotifyPeer(TPeerChange::Value);
}

void TCustomEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    // A click puts the caret at the end of the text (we keep no glyph positions).
    SetSelStart(static_cast<int>(Text().size()));
    TWinControl::MouseDown(button, shift, x, y);
}

void TCustomEdit::PaintWindow(TCanvas& canvas)
{
    TWinControl::PaintWindow(canvas);
    TRect r = ClientRect();
    Frame3D(canvas, r, clBtnShadow, clBtnHighlight, 1);
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(bsClear);
    TRect text = Rect(3, 2, Width() - 2, Height() - 2);
    canvas.DrawText(PaintedText(), text, DT_EXPANDTABS);
}

std::string TCustomEdit::PaintedText() const
{
    return FPasswordChar ? std::string(Text().size(), FPasswordChar) : Text();
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

class TMemo::TMemoLines : public TStringList {
public:
    explicit TMemoLines(TMemo& memo) : FMemo(memo) {}
    void Changed() override { FMemo.LinesChanged(); }
    void Inserted(int index) override { FMemo.LineInserted(index); }

private:
    TMemo& FMemo;
};

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoLines>(*this))
{
    SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() = default;

const TPropertyTable& TMemo::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TCustomEdit::PropertyTable());
        t.Strings<TMemo>("Lines", &TMemo::Lines);
        t.Enum<TMemo, TScrollStyle>("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars,
                                    {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
        t.Bool<TMemo>("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap);
        t.Bool<TMemo>("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns);
        t.Bool<TMemo>("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs);
        return t;
    }();
    return table;
}

void TMemo::LinesChanged()
{
    if (FSyncing) return;
    std::string text;
    for (int i = 0; i < FLines->Count(); ++i) {
        if (i) text += "\r\n";
        text += FLines->Strings(i);
    }
    FSyncing = true;
    SetText(text);
    FSyncing = false;
}

void TMemo::LineInserted(int index)
{
    const int top = FTopLine;
    LinesChanged();
    if (FSyncing || Loading()) return;
    // The line goes in where the caret is put, and the caret stays after it:
    // at the end of the text for a last line, else at the next line's start.
    std::size_t caret = 0;
    for (int i = 0; i <= index; ++i) caret += FLines->Strings(i).size() + 2;
    SetSelStart(static_cast<int>(std::min(caret, Text().size())));
    ScrollCaretIntoView(top);
    // Keys leave the caret to the person's toolkit; this one is the model's.
    NotifyPeer(TPeerChange::Value);
}

int TMemo::VisibleLineCount() const
{
    const int lineHeight = FontInstanceOf(Font())->Metrics().Height;
    return std::max(1, (Height() - 4) / std::max(1, lineHeight));
}

void TMemo::ScrollCaretIntoView(int top)
{
    // From where the memo was before the change of text (which shows the top).
    const int from = std::clamp(top, 0, std::max(0, FLines->Count() - 1));
    const std::string_view text = Text();
    const auto caret = std::min(static_cast<std::size_t>(SelStart() + SelLength()), text.size());
    const int line = static_cast<int>(std::count(text.begin(), text.begin() + caret, '\n'));
    const int visible = VisibleLineCount();
    const int shown = line < from ? line : line >= from + visible ? line - visible + 1 : from;
    if (shown != top) Invalidate();
    FTopLine = shown;
}

void TMemo::TextChanged()
{
    if (!FSyncing) {
        FSyncing = true;
        FLines->SetText(Text());
        FSyncing = false;
    }
    FTopLine = 0;
    TCustomEdit::TextChanged();
}

void TMemo::KeyDown(std::uint16_t& key, TShiftState shift)
{
    TComponentWatch watch(this);
    const int top = FTopLine;
    TCustomEdit::KeyDown(key, shift);
    if (watch.Alive()) ScrollCaretIntoView(top);
}

void TMemo::KeyPress(char& key)
{
    TComponentWatch watch(this);
    const int top = FTopLine;
    if (key == '\r') {
        if (FWantReturns && !ReadOnly()) ReplaceSelection("\r\n");
    } else if (key != '\t' || FWantTabs) {
        TCustomEdit::KeyPress(key);
    }
    if (watch.Alive()) ScrollCaretIntoView(top);
}

std::string TMemo::PaintedText() const
{
    if (PasswordChar()) return TCustomEdit::PaintedText();
    // The lines from the top one down to the first one cut by the bottom edge.
    std::string text;
    const int last = std::min(FLines->Count(), FTopLine + VisibleLineCount() + 1);
    for (int i = FTopLine; i < last; ++i) {
        if (i > FTopLine) text += "\r\n";
        text += FLines->Strings(i);
    }
    return text;
}

TStrings& TMemo::Lines() { return *FLines; }
