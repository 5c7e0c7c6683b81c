// Edits and memos. The model is the editor: typed characters, Back and Delete
// go into it (the model keeps text, caret and selection and runs OnChange),
// and the widget shows its text and selection. What the model leaves to the
// person's toolkit is done here on the model's positions: the caret moves
// with Shift (a selection), lines up and down in a memo, select all, and the
// clipboard (copy, cut and paste change the text as one edit). A click puts
// the caret where the widget's own hit testing says.
//
// Model positions are CP1252 bytes with CR LF line ends; the widget's are
// UTF-8 bytes with LF.

#include <algorithm>
#include <memory>

#include "platform/controls/TEdit.h"
#include "platform/core/AnsiString.h"
#include "platform/display/Peers.h"
#include "platform/display/TDisplay.h"
#include "platform/display/TWidgetPeer.h"
#include "platform/display/Toolkit.h"

#include <FL/Fl.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Editor.H>

namespace {

int Utf8Length(unsigned char byte)
{
    const char32_t c = Cp1252ToUnicode(byte);
    return c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
}

bool IsCrLf(const std::string& text, std::size_t i)
{
    return text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
}

std::string WidgetText(const std::string& model)
{
    std::string plain;
    for (std::size_t i = 0; i < model.size(); ++i)
        if (!IsCrLf(model, i)) plain += model[i];
    return Toolkit::Text(plain);
}

int ToWidget(const std::string& model, int pos)
{
    int w = 0;
    for (std::size_t i = 0; i < model.size() && static_cast<int>(i) < pos; ++i)
        if (!IsCrLf(model, i)) w += Utf8Length(static_cast<unsigned char>(model[i]));
    return w;
}

int ToModel(const std::string& model, int widgetPos)
{
    int w = 0;
    std::size_t i = 0;
    for (; i < model.size() && w < widgetPos; ++i)
        if (!IsCrLf(model, i)) w += Utf8Length(static_cast<unsigned char>(model[i]));
    return static_cast<int>(i);
}

int LineStart(const std::string& text, int pos)
{
    while (pos > 0 && text[static_cast<std::size_t>(pos - 1)] != '\n') --pos;
    return pos;
}

int LineEnd(const std::string& text, int pos)
{
    while (pos < static_cast<int>(text.size()) && text[static_cast<std::size_t>(pos)] != '\r' &&
           text[static_cast<std::size_t>(pos)] != '\n')
        ++pos;
    return pos;
}

class TEditPeer : public TWidgetPeer {
public:
    TEditPeer(TCustomEdit& edit, bool multiLine) : TWidgetPeer(edit), FEdit(edit), FMultiLine(multiLine) {}

    int Handle(int event) override
    {
        switch (event) {
        case FL_PUSH:
        case FL_DRAG:
        case FL_RELEASE: {
            const bool drag = event == FL_DRAG;
            PostMouse(drag ? TMouseInputKind::Move : event == FL_RELEASE ? TMouseInputKind::Up : PressKind());
            NativeMouse(event);
            if (!drag) PostSelectionFromWidget();
            return 1;
        }
        case FL_PASTE: {
            const std::string pasted = Toolkit::FromText(std::string_view(Fl::event_text(), Fl::event_length()));
            TComponentWatch watch(&FEdit);
            TCustomEdit* edit = &FEdit;
            TDisplay::Current()->Post([this, edit, watch, pasted] {
                if (watch.Alive()) Paste(pasted);
            });
            return 1;
        }
        case FL_MOUSEWHEEL: return FMultiLine ? NativeMouse(event) : 0;
        case FL_DND_ENTER:
        case FL_DND_DRAG:
        case FL_DND_LEAVE:
        case FL_DND_RELEASE: return 0;
        default: return TWidgetPeer::Handle(event);
        }
    }

    void BeforeKey(std::uint16_t, TShiftState) override { Snapshot(); }

    void AfterKey(std::uint16_t key, TShiftState shift) override
    {
        const std::string& text = FEdit.Text();
        const int size = static_cast<int>(text.size());
        const bool extend = (shift & ssShift) != 0;
        const bool ctrl = (shift & ssCtrl) != 0;
        int caret = FCaret;
        switch (key) {
        case VK_LEFT:
            if (!extend && FAnchor != FCaret) caret = std::min(FAnchor, FCaret);
            else caret = caret > 0 && IsCrLf(text, static_cast<std::size_t>(caret - 1)) ? caret - 2 : caret - 1;
            break;
        case VK_RIGHT:
            if (!extend && FAnchor != FCaret) caret = std::max(FAnchor, FCaret);
            else caret = caret < size && IsCrLf(text, static_cast<std::size_t>(caret)) ? caret + 2 : caret + 1;
            break;
        case VK_HOME: caret = ctrl || !FMultiLine ? 0 : LineStart(text, caret); break;
        case VK_END: caret = ctrl || !FMultiLine ? size : LineEnd(text, caret); break;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT: {
            if (!FMultiLine) return;
            const int lines = key == VK_UP || key == VK_DOWN ? 1 : 10;
            const bool up = key == VK_UP || key == VK_PRIOR;
            const int column = caret - LineStart(text, caret);
            for (int i = 0; i < lines; ++i) {
                int start = LineStart(text, caret);
                if (up) {
                    if (start == 0) break;
                    start = LineStart(text, start - 1);
                } else {
                    const int end = LineEnd(text, caret);
                    if (end >= size) break;
                    start = IsCrLf(text, static_cast<std::size_t>(end)) ? end + 2 : end + 1;
                }
                caret = std::min(start + column, LineEnd(text, start));
            }
            break;
        }
        case 'A':
            if (!ctrl) return;
            FAnchor = 0;
            caret = size;
            break;
        case 'C':
        case 'X':
        case 'V':
        case VK_DELETE:
        case 45:  // Insert: Ctrl copies, Shift pastes, as on the platform
            if (!ctrl && !(key == 45 && extend) && !(key == VK_DELETE && extend)) return;
            Clipboard(key, shift);
            return;
        default: return;
        }
        caret = std::clamp(caret, 0, size);
        if (!extend && key != 'A') FAnchor = caret;
        FCaret = caret;
        ShowSelection();
    }

protected:
    virtual void SetWidgetText(const std::string& utf8) = 0;
    virtual void SetWidgetSelection(int caret, int anchor) = 0;
    virtual void WidgetSelection(int& caret, int& anchor) const = 0;
    virtual int NativeMouse(int event) = 0;

    void SyncText() override
    {
        SetWidgetText(WidgetText(FEdit.Text()));
        SyncValue();
    }

    // The model's caret and selection, shown (and scrolled into view).
    void SyncValue() override
    {
        FAnchor = FEdit.SelStart();
        FCaret = FEdit.SelStart() + FEdit.SelLength();
        SetWidgetSelection(ToWidget(FEdit.Text(), FCaret), ToWidget(FEdit.Text(), FAnchor));
    }

    TCustomEdit& FEdit;
    bool FMultiLine;

private:
    // The model moves its caret by itself too; our anchor holds while it agrees.
    void Snapshot()
    {
        const int start = std::min(FAnchor, FCaret);
        const int length = std::abs(FCaret - FAnchor);
        if (start == FEdit.SelStart() && length == FEdit.SelLength()) return;
        FAnchor = FEdit.SelStart();
        FCaret = FEdit.SelStart() + FEdit.SelLength();
    }

    void ShowSelection()
    {
        FEdit.SetSelStart(std::min(FAnchor, FCaret));
        FEdit.SetSelLength(std::abs(FCaret - FAnchor));
        SetWidgetSelection(ToWidget(FEdit.Text(), FCaret), ToWidget(FEdit.Text(), FAnchor));
    }

    void PostSelectionFromWidget()
    {
        TComponentWatch watch(&FEdit);
        TCustomEdit* edit = &FEdit;
        TDisplay::Current()->Post([this, edit, watch] {
            if (!watch.Alive() || edit->Peer() != this) return;
            int caret = 0;
            int anchor = 0;
            WidgetSelection(caret, anchor);
            FCaret = ToModel(FEdit.Text(), caret);
            FAnchor = ToModel(FEdit.Text(), anchor);
            FEdit.SetSelStart(std::min(FAnchor, FCaret));
            FEdit.SetSelLength(std::abs(FCaret - FAnchor));
        });
    }

    void Clipboard(std::uint16_t key, TShiftState shift)
    {
        const bool copy = key == 'C' || (key == 45 && (shift & ssCtrl));
        const bool cut = key == 'X' || (key == VK_DELETE && (shift & ssShift));
        const bool paste = key == 'V' || (key == 45 && (shift & ssShift));
        if ((copy || cut) && FEdit.SelLength() > 0 && !FEdit.PasswordChar()) {
            const std::string utf8 = WidgetText(FEdit.SelText());
            Fl::copy(utf8.c_str(), static_cast<int>(utf8.size()), 1);
        }
        if (cut && FEdit.SelLength() > 0 && !FEdit.ReadOnly()) Replace("");
        if (paste && !FEdit.ReadOnly()) Fl::paste(*FWidget, 1);
    }

    void Paste(const std::string& pasted)
    {
        if (FEdit.ReadOnly()) return;
        std::string text;
        for (std::size_t i = 0; i < pasted.size(); ++i) {
            const char c = pasted[i];
            if (c == '\n' || c == '\r') {
                if (!FMultiLine) break;
                if (c == '\r' && i + 1 < pasted.size() && pasted[i + 1] == '\n') continue;
                text += "\r\n";
            } else if (static_cast<unsigned char>(c) >= 32 || c == '\t') {
                text += c;
            }
        }
        Replace(text);
    }

    // One edit of the selection, as the platform's clipboard commands make it.
    void Replace(std::string insert)
    {
        std::string text = FEdit.Text();
        const auto start = static_cast<std::size_t>(FEdit.SelStart());
        text.erase(start, static_cast<std::size_t>(FEdit.SelLength()));
        if (FEdit.MaxLength() > 0) {
            const std::size_t room =
                static_cast<std::size_t>(FEdit.MaxLength()) - std::min(text.size(), static_cast<std::size_t>(FEdit.MaxLength()));
            if (insert.size() > room) insert.resize(room);
        }
        text.insert(start, insert);
        const int caret = static_cast<int>(start + insert.size());
        TComponentWatch watch(&FEdit);
        FEdit.SetText(text);
        if (!watch.Alive()) return;
        FEdit.SetSelStart(caret);
        FAnchor = FCaret = caret;
        if (FEdit.Peer() == this) SetWidgetSelection(ToWidget(FEdit.Text(), caret), ToWidget(FEdit.Text(), caret));
    }

    int FAnchor = 0;
    int FCaret = 0;
};

class TLinePeer : public TEditPeer {
public:
    explicit TLinePeer(TCustomEdit& edit) : TEditPeer(edit, false) {}

protected:
    Fl_Input& Input() const { return static_cast<Fl_Input&>(*FWidget); }
    void SetWidgetText(const std::string& utf8) override { Input().value(utf8.c_str(), static_cast<int>(utf8.size())); }
    void SetWidgetSelection(int caret, int anchor) override { Input().position(caret, anchor); }
    void WidgetSelection(int& caret, int& anchor) const override
    {
        caret = Input().position();
        anchor = Input().mark();
    }
    int NativeMouse(int event) override { return static_cast<TPeered<Fl_Input>&>(Input()).BaseHandle(event); }
    void SyncFont() override
    {
        Input().textfont(Toolkit::Font(FEdit.Font()));
        Input().textsize(Toolkit::FontSize(FEdit.Font()));
        Input().textcolor(Toolkit::Color(FEdit.Font().Color()));
    }
    void SyncText() override
    {
        Input().type(FEdit.PasswordChar() ? FL_SECRET_INPUT : FL_NORMAL_INPUT);
        TEditPeer::SyncText();
    }
};

class TMemoPeer : public TEditPeer {
public:
    explicit TMemoPeer(TMemo& memo) : TEditPeer(memo, true), FMemo(memo), FBuffer(std::make_unique<Fl_Text_Buffer>()) {}
    // The editor uses the buffer until it goes.
    ~TMemoPeer() override { DestroyWidget(); }
    Fl_Text_Buffer& Buffer() { return *FBuffer; }

protected:
    Fl_Text_Editor& Editor() const { return static_cast<Fl_Text_Editor&>(*FWidget); }
    void SetWidgetText(const std::string& utf8) override
    {
        if (FShown == utf8) return;
        FShown = utf8;
        FBuffer->text(utf8.c_str());
    }
    void SetWidgetSelection(int caret, int anchor) override
    {
        if (caret == anchor) FBuffer->unselect();
        else FBuffer->select(std::min(caret, anchor), std::max(caret, anchor));
        Editor().insert_position(caret);
        Editor().show_insert_position();
    }
    void WidgetSelection(int& caret, int& anchor) const override
    {
        caret = Editor().insert_position();
        int start = 0;
        int end = 0;
        if (FBuffer->selection_position(&start, &end)) anchor = caret == start ? end : start;
        else anchor = caret;
    }
    int NativeMouse(int event) override { return static_cast<TPeered<Fl_Text_Editor>&>(Editor()).BaseHandle(event); }
    void SyncFont() override
    {
        Editor().textfont(Toolkit::Font(FEdit.Font()));
        Editor().textsize(Toolkit::FontSize(FEdit.Font()));
        Editor().textcolor(Toolkit::Color(FEdit.Font().Color()));
    }
    void SyncStyle() override
    {
        if (FMemo.WordWrap()) Editor().wrap_mode(Fl_Text_Display::WRAP_AT_BOUNDS, 0);
        else Editor().wrap_mode(Fl_Text_Display::WRAP_NONE, 0);
        Editor().scrollbar_width(FMemo.ScrollBars() == ssNone ? 0 : Fl::scrollbar_size());
    }
    void SyncText() override
    {
        SyncStyle();
        TEditPeer::SyncText();
    }

private:
    TMemo& FMemo;
    std::unique_ptr<Fl_Text_Buffer> FBuffer;
    std::string FShown;
};

}  // namespace

std::unique_ptr<TControlPeer> MakeEditPeer(TCustomEdit& edit)
{
    if (auto* memo = dynamic_cast<TMemo*>(&edit)) {
        auto peer = std::make_unique<TMemoPeer>(*memo);
        auto widget = Toolkit::Make<TPeered<Fl_Text_Editor>>(*peer, 0, 0, 1, 1);
        widget->buffer(&peer->Buffer());
        widget->box(FL_DOWN_BOX);
        widget->cursor_style(Fl_Text_Display::SIMPLE_CURSOR);
        peer->Start(std::move(widget));
        return peer;
    }
    auto peer = std::make_unique<TLinePeer>(edit);
    auto widget = Toolkit::Make<TPeered<Fl_Input>>(*peer, 0, 0, 1, 1);
    widget->box(FL_DOWN_BOX);
    peer->Start(std::move(widget));
    return peer;
}
