#pragma once

// Edits and memos. OnChange runs after every change of the text, whether typed
// or set from code (as the platform's edit controls report every change).
//
// Typing goes to the caret: a typed character replaces the selection, Back
// deletes the selection or the character before the caret, Delete the one after
// it. Taking the focus without a click selects the whole text of an edit
// (AutoSelect), so typing then replaces it. ReadOnly ignores typing.
// A memo's Text is its lines joined by CR LF; Return in a memo starts a line.
//
// A memo scrolls by whole lines, TopLine being the first line shown. As the
// platform's memo does, a line added or inserted through Lines puts the caret
// after it and scrolls the caret's line into view, so a memo that receives
// lines shows the last ones; setting the whole text (Text, Lines.SetText,
// Assign, Clear) shows it from the top. Typing and the caret keys keep the
// caret's line in view.

#include <cstdint>
#include <memory>

#include "platform/controls/TWinControl.h"
#include "platform/core/TStringList.h"

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value) { FReadOnly = value; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int value) { FMaxLength = value < 0 ? 0 : value; }
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char value) { FPasswordChar = value; }
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool value) { FAutoSelect = value; }
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase value) { FCharCase = value; }

    int SelStart() const { return FSelStart; }
    void SetSelStart(int value);
    int SelLength() const { return FSelLength; }
    void SetSelLength(int value);
    std::string SelText() const;
    void SelectAll();
    void Clear() { SetText(""); }

    void PaintWindow(TCanvas& canvas) override;

    TNotifyEvent OnChange;

protected:
    void TextChanged() override;
    void KeyDown(std::uint16_t& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void FocusedByOpening() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    virtual void Change();
    // The text the control paints from its top left corner.
    virtual std::string PaintedText() const;
    // Replaces the selection by typed text (the user's own change).
    void ReplaceSelection(const std::string& text);

private:
    bool FReadOnly = false;
    int FMaxLength = 0;
    char FPasswordChar = 0;
    bool FAutoSelect = true;
    TEditCharCase FCharCase = ecNormal;
    int FSelStart = 0;
    int FSelLength = 0;
    bool FClickFocus = false;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner);
    const char* ClassName() const override { return "TEdit"; }
};

class TMemo : public TCustomEdit {
public:
    explicit TMemo(TComponent* AOwner);
    ~TMemo() override;

    const char* ClassName() const override { return "TMemo"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    TStrings& Lines();
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value) { FScrollBars = value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value) { FWordWrap = value; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool value) { FWantReturns = value; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool value) { FWantTabs = value; }

    bool WantsKey(std::uint16_t key) const override { return key == VK_RETURN && FWantReturns; }

    int TopLine() const { return FTopLine; }
    // The number of whole lines the memo shows (at least 1).
    int VisibleLineCount() const;

protected:
    void TextChanged() override;
    void KeyDown(std::uint16_t& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override {}
    void FocusedByOpening() override {}
    std::string PaintedText() const override;

private:
    class TMemoLines;
    void LinesChanged();
    void LineInserted(int index);
    void ScrollCaretIntoView(int top);
    std::unique_ptr<TMemoLines> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    bool FSyncing = false;
    int FTopLine = 0;
};
