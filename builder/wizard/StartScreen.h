#pragma once

// The start screen, the builder's main window: a button per gallery kind, a
// language button and an exit button, each with a short text (Label1) and a
// long text (Memo1) while the mouse is over it, and two link labels.
//
// - The long texts are memos of the layout that lie outside the visible area;
//   they are copied into Memo1 in the current language.
// - A button's font colour marks the button under the mouse: red for it,
//   black for the others. Its hover sound plays only when it was not marked.
// - A kind button sets up the wizard's pages and options for its kind and
//   shows the wizard; the start screen stays open behind it. The web button
//   asks HTML or PHP first (TForm21) and repeats the question while a PHP
//   gallery lacks a usable password or e-mail address.
// - While a build runs the five kind buttons are disabled, so no kind can
//   change under it (BuildStateChanged).
// - The exit button ends the program at once, writing nothing; closing this
//   window does the same.
// - "Update?" fetches the version page from the maker's web server with
//   HttpCli1 and says the version is current or shows TForm18 with the new
//   one. A check that gets no document (or an error reply) says the
//   connection is not ready. THUMBNAILS_UPDATE_SERVER (host[:port]) points
//   the check elsewhere; the tests use it.

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "net/THttpCli.h"
#include "platform/core/TStream.h"

#include "platform/controls/TCustomForm.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "shared/Tranbtn.h"

class TVM : public TForm {
public:
    explicit TVM(TComponent* AOwner);
    ~TVM() override;
    const char* ClassName() const override { return "TVM"; }

    TImage* Image1;  // the background in the current language
    TImage* Image2;  // German background
    TImage* Image3;  // English background
    TMTranBtn* MTranBtn1;  // e-mail gallery
    TMTranBtn* MTranBtn2;  // web gallery
    TMTranBtn* MTranBtn4;  // thumbnails only
    TMTranBtn* MTranBtn7;  // picture application
    TMTranBtn* MTranBtn8;  // PDF gallery
    TMTranBtn* MTranBtn5;  // language
    TMTranBtn* MTranBtn3;  // exit
    TLabel* Label1;  // short text
    TMemo* Memo1;    // long text
    TLabel* Label2;  // the maker's web site
    TLabel* Label3;  // "|"
    TLabel* Label5;  // "Update?"
    // Long texts, German and English.
    TMemo* Memo2;   // web
    TMemo* Memo3;   // e-mail
    TMemo* Memo4;   // thumbnails
    TMemo* Memo5;   // picture application
    TMemo* Memo7;   // web
    TMemo* Memo8;   // e-mail
    TMemo* Memo9;   // thumbnails
    TMemo* Memo10;  // picture application
    TMemo* Memo11;  // PDF (German)
    TMemo* Memo12;  // PDF (English)
    TMemo* Memo14;  // the German description of the PHP gallery
    THttpCli* HttpCli1;  // the update check

    void MTranBtn1Click(TObject* Sender);
    void MTranBtn2Click(TObject* Sender);
    void MTranBtn4Click(TObject* Sender);
    void MTranBtn7Click(TObject* Sender);
    void MTranBtn8Click(TObject* Sender);
    void MTranBtn5Click(TObject* Sender);
    void MTranBtn3Click(TObject* Sender);
    void Label2Click(TObject* Sender);
    void Label5Click(TObject* Sender);
    void HttpCli1DocEnd(TObject* Sender);

    // Follows the wizard's build state: the kind buttons are enabled exactly
    // while no build runs.
    void BuildStateChanged();

private:
    struct THoverText {
        TMTranBtn* Button;
        std::string_view German;
        std::string_view English;
        TMemo* GermanText;   // nullptr: Memo1 is emptied
        TMemo* EnglishText;
    };

    void ButtonMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Label2MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Label5MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void MarkButton(const TMTranBtn* marked);
    std::array<THoverText, 7> HoverTexts() const;

    // The reply of the running update check; a fresh one for every check.
    std::unique_ptr<TMemoryStream> UpdateReplyStream;
    // The reply handler has taken a document of the running check.
    bool FUpdateAnswered = false;
};

extern TVM* StartScreen;
