#include "platform/controls/HeadlessInteraction.h"

#include "platform/controls/TCustomForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TMenu.h"
#include "platform/loop/Clock.h"

namespace {

const char* KindName(TQuestionKind kind)
{
    switch (kind) {
    case TQuestionKind::ModalForm: return "modal form";
    case TQuestionKind::MessageBox: return "message box";
    case TQuestionKind::OpenDialog: return "open dialog";
    case TQuestionKind::SaveDialog: return "save dialog";
    case TQuestionKind::ColorDialog: return "colour dialog";
    case TQuestionKind::FontDialog: return "font dialog";
    case TQuestionKind::Folder: return "folder dialog";
    case TQuestionKind::Popup: return "pop-up menu";
    }
    return "question";
}

std::string Describe(const TQuestion& q)
{
    return std::string(KindName(q.Kind)) + " " + q.Text + (q.Caption.empty() ? "" : " \"" + q.Caption + "\"");
}

TMenuItem* FindItem(TMenuItem& parent, const std::string& name)
{
    for (int i = 0; i < parent.Count(); ++i) {
        TMenuItem* item = parent.Items(i);
        if (SameName(item->Name(), name)) return item;
        if (TMenuItem* deeper = FindItem(*item, name)) return deeper;
    }
    return nullptr;
}

}  // namespace

THeadlessScript::TAnswer THeadlessScript::MakeAnswer(TQuestionKind kind, std::string match)
{
    TAnswer a;
    a.Kind = kind;
    a.Match = std::move(match);
    return a;
}

THeadlessScript::THeadlessScript() : FPrevious(InstalledUserInteraction()) { SetUserInteraction(this); }

THeadlessScript::~THeadlessScript() { SetUserInteraction(FPrevious); }

THeadlessScript& THeadlessScript::AnswerMessage(int answer, std::string contains)
{
    TAnswer a = MakeAnswer(TQuestionKind::MessageBox, std::move(contains));
    a.Result = answer;
    FAnswers.push_back(std::move(a));
    return *this;
}

THeadlessScript& THeadlessScript::AnswerModal(std::string formName, int result)
{
    TAnswer a = MakeAnswer(TQuestionKind::ModalForm, std::move(formName));
    a.Result = result;
    FAnswers.push_back(std::move(a));
    return *this;
}

THeadlessScript& THeadlessScript::AnswerModal(std::string formName, std::function<void(TCustomForm&)> action)
{
    TAnswer a = MakeAnswer(TQuestionKind::ModalForm, std::move(formName));
    a.Action = std::move(action);
    FAnswers.push_back(std::move(a));
    return *this;
}

THeadlessScript& THeadlessScript::AnswerOpen(std::vector<std::string> files)
{
    TAnswer a = MakeAnswer(TQuestionKind::OpenDialog, std::string());
    a.Cancel = files.empty();
    a.Files = std::move(files);
    FAnswers.push_back(std::move(a));
    return *this;
}

THeadlessScript& THeadlessScript::AnswerSave(std::string file)
{
    TAnswer a = MakeAnswer(TQuestionKind::SaveDialog, std::string());
    a.Cancel = file.empty();
    if (!file.empty()) a.Files.push_back(std::move(file));
    FAnswers.push_back(std::move(a));
    return *this;
}

THeadlessScript& THeadlessScript::AnswerColor(TColor color)
{
    TAnswer a = MakeAnswer(TQuestionKind::ColorDialog, std::string());
    a.Color = color;
    FAnswers.push_back(std::move(a));
    return *this;
}

THeadlessScript& THeadlessScript::CancelColor()
{
    TAnswer a = MakeAnswer(TQuestionKind::ColorDialog, std::string());
    a.Cancel = true;
    FAnswers.push_back(std::move(a));
    return *this;
}

THeadlessScript& THeadlessScript::AnswerFont(const TFont& font)
{
    TAnswer a = MakeAnswer(TQuestionKind::FontDialog, std::string());
    a.Font = font;
    FAnswers.push_back(std::move(a));
    return *this;
}

THeadlessScript& THeadlessScript::AnswerFolder(std::string folder)
{
    TAnswer a = MakeAnswer(TQuestionKind::Folder, std::string());
    a.Cancel = folder.empty();
    a.Files.push_back(std::move(folder));
    FAnswers.push_back(std::move(a));
    return *this;
}

THeadlessScript& THeadlessScript::AnswerPopup(std::string itemName)
{
    TAnswer a = MakeAnswer(TQuestionKind::Popup, std::move(itemName));
    FAnswers.push_back(std::move(a));
    return *this;
}

THeadlessScript::TAnswer THeadlessScript::Take(const TQuestion& question)
{
    FAsked.push_back(question);
    if (FAnswers.empty()) throw EUnscriptedInteraction("unscripted " + Describe(question));
    TAnswer& next = FAnswers.front();
    if (next.Kind != question.Kind)
        throw EUnscriptedInteraction("unscripted " + Describe(question) + " (the script expects a " +
                                     KindName(next.Kind) + ")");
    if (question.Kind == TQuestionKind::ModalForm && !next.Match.empty() && !SameName(next.Match, question.Text))
        throw EUnscriptedInteraction("unscripted " + Describe(question) + " (the script expects " + next.Match + ")");
    if (question.Kind == TQuestionKind::MessageBox && !next.Match.empty() &&
        question.Text.find(next.Match) == std::string::npos)
        throw EUnscriptedInteraction("unscripted " + Describe(question) + " (the script expects a text with \"" +
                                     next.Match + "\")");
    TAnswer answer = std::move(next);
    FAnswers.pop_front();
    return answer;
}

void THeadlessScript::BeginModal(TCustomForm& form)
{
    TAnswer answer = Take({TQuestionKind::ModalForm, form.Name(), form.Caption()});
    FModalStarts.emplace_back(&form, timeGetTime());
    if (answer.Action) {
        TComponentWatch watch(&form);
        answer.Action(form);
        if (!watch.Alive()) return;
    } else {
        form.SetModalResult(answer.Result);
    }
}

void THeadlessScript::ModalIdle(TCustomForm& form)
{
    std::uint32_t started = timeGetTime();
    for (const auto& [f, t] : FModalStarts)
        if (f == &form) started = t;
    const std::uint32_t waited = timeGetTime() - started;
    if (waited >= FModalTimeout)
        throw EUnscriptedInteraction("modal form " + form.Name() + " \"" + form.Caption() +
                                     "\" still waits for a person after its scripted answer");
    MsgWaitForMultipleObjects({}, FModalTimeout - waited);
}

void THeadlessScript::EndModal(TCustomForm& form)
{
    for (auto it = FModalStarts.rbegin(); it != FModalStarts.rend(); ++it) {
        if (it->first == &form) {
            FModalStarts.erase(std::next(it).base());
            return;
        }
    }
}

int THeadlessScript::MessageBox(const std::string& text, const std::string& caption, unsigned)
{
    return Take({TQuestionKind::MessageBox, text, caption, MessageLines(text)}).Result;
}

bool THeadlessScript::ExecuteFileDialog(TOpenDialog& dialog, bool save)
{
    TAnswer answer = Take({save ? TQuestionKind::SaveDialog : TQuestionKind::OpenDialog, dialog.Name(), dialog.Title()});
    if (answer.Cancel) return false;
    if (answer.Files.size() > 1 && !(dialog.Options() & ofAllowMultiSelect))
        throw EUnscriptedInteraction("the script chooses several files in " + dialog.Name() +
                                     ", which allows only one");
    dialog.SetChoice(answer.Files);
    return true;
}

bool THeadlessScript::ExecuteColorDialog(TColorDialog& dialog)
{
    TAnswer answer = Take({TQuestionKind::ColorDialog, dialog.Name(), {}});
    if (answer.Cancel) return false;
    dialog.SetColor(answer.Color);
    return true;
}

bool THeadlessScript::ExecuteFontDialog(TFontDialog& dialog)
{
    TAnswer answer = Take({TQuestionKind::FontDialog, dialog.Name(), {}});
    if (answer.Cancel) return false;
    dialog.Font().Assign(answer.Font);
    return true;
}

bool THeadlessScript::BrowseForFolder(const std::string& title, std::string& folder)
{
    TAnswer answer = Take({TQuestionKind::Folder, {}, title});
    if (answer.Cancel) return false;
    folder = answer.Files.front();
    return true;
}

TMenuItem* THeadlessScript::PopupMenu(TPopupMenu& menu, int, int)
{
    TAnswer answer = Take({TQuestionKind::Popup, menu.Name(), {}});
    if (answer.Match.empty()) return nullptr;
    TMenuItem* item = FindItem(menu.Items(), answer.Match);
    if (!item) throw EUnscriptedInteraction("pop-up menu " + menu.Name() + " has no item " + answer.Match);
    return item;
}
