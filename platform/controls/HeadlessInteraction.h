#pragma once

// The headless user-interaction: a script of answers that a test installs.
//
// Questions must come in the scripted order; each is answered by the next
// entry, which must be of the question's kind (and, when the entry names a form
// or a text, must match it). Anything else (no entry left, another kind,
// another form) raises EUnscriptedInteraction with the question's text at once.
// Every question is recorded in Asked().
//
// A modal form's entry either ends it with a modal result or runs an action
// inside its loop (clicking its buttons, typing, opening further modal forms).
// If the loop still waits once the action and all queued messages are done, it
// may wait for timers for up to ModalTimeout milliseconds; then it fails too.
//
// The script installs itself for the thread while it lives and restores the
// interaction that was installed before.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/UserInteraction.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/TCanvas.h"

enum class TQuestionKind { ModalForm, MessageBox, OpenDialog, SaveDialog, ColorDialog, FontDialog, Folder, Popup };

struct TQuestion {
    TQuestionKind Kind;
    std::string Text;     // the message, the form's or the dialog's name
    std::string Caption;  // the box's caption, the form's caption, the dialog's title
    std::vector<std::string> Lines = {};  // a message box's lines, as its window shows them
};

class THeadlessScript : public TUserInteraction {
public:
    THeadlessScript();
    ~THeadlessScript() override;
    THeadlessScript(const THeadlessScript&) = delete;
    THeadlessScript& operator=(const THeadlessScript&) = delete;

    // A message box; `contains` (when not empty) must occur in its text.
    THeadlessScript& AnswerMessage(int answer = IDOK, std::string contains = {});
    // A modal form by name ("" any): ends with `result`, or runs `action`.
    THeadlessScript& AnswerModal(std::string formName, int result);
    THeadlessScript& AnswerModal(std::string formName, std::function<void(TCustomForm&)> action);
    // An open dialog choosing `files` (several for a multiple selection); none cancels.
    THeadlessScript& AnswerOpen(std::vector<std::string> files);
    // A save dialog choosing `file`; "" cancels.
    THeadlessScript& AnswerSave(std::string file);
    THeadlessScript& AnswerColor(TColor color);
    THeadlessScript& CancelColor();
    THeadlessScript& AnswerFont(const TFont& font);
    THeadlessScript& AnswerFolder(std::string folder);  // "" cancels
    // A pop-up menu choosing the item of that name; "" dismisses it.
    THeadlessScript& AnswerPopup(std::string itemName);

    const std::vector<TQuestion>& Asked() const { return FAsked; }
    std::size_t Pending() const { return FAnswers.size(); }
    std::uint32_t ModalTimeout() const { return FModalTimeout; }
    void SetModalTimeout(std::uint32_t ms) { FModalTimeout = ms; }

    void BeginModal(TCustomForm& form) override;
    void ModalIdle(TCustomForm& form) override;
    void EndModal(TCustomForm& form) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool ExecuteFileDialog(TOpenDialog& dialog, bool save) override;
    bool ExecuteColorDialog(TColorDialog& dialog) override;
    bool ExecuteFontDialog(TFontDialog& dialog) override;
    bool BrowseForFolder(const std::string& title, std::string& folder) override;
    TMenuItem* PopupMenu(TPopupMenu& menu, int x, int y) override;

private:
    struct TAnswer {
        TQuestionKind Kind = TQuestionKind::MessageBox;
        std::string Match;
        int Result = 0;
        std::vector<std::string> Files;
        TColor Color = clBlack;
        TFont Font;
        bool Cancel = false;
        std::function<void(TCustomForm&)> Action;
    };
    static TAnswer MakeAnswer(TQuestionKind kind, std::string match);
    TAnswer Take(const TQuestion& question);

    std::deque<TAnswer> FAnswers;
    std::vector<TQuestion> FAsked;
    std::vector<std::pair<TCustomForm*, std::uint32_t>> FModalStarts;
    std::uint32_t FModalTimeout = 5000;
    TUserInteraction* FPrevious;
};
