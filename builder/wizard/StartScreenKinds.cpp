// The start screen's kind buttons: each sets up the wizard for its kind of
// gallery and shows it.

#include "builder/wizard/StartScreen.h"

#include <algorithm>
#include <initializer_list>

#include "builder/dialogs/ButtonSounds.h"
#include "builder/dialogs/GalleryKindDialog.h"
#include "builder/dialogs/LimitsDialog.h"
#include "builder/wizard/WizardForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/core/DateTime.h"

namespace {

constexpr const char* MissingPhpAdmin = "Please enter a password  (nearly  3 characters) AND your e-mail adress";
// The two go into a PHP comment of the gallery's admin page, where either
// would end the comment or the script.
constexpr const char* UnsafePhpAdmin =
    "The password and the e-mail address must not contain \"*/\" or \"?>\".";

// The pictures page is always shown and becomes the active page; of the
// others only `shown` are.
void ShowWizardPages(TForm1& wizard, std::initializer_list<TTabSheet*> shown)
{
    for (TTabSheet* page : {wizard.TabSheet2, wizard.TabSheet4, wizard.TabSheet5, wizard.TabSheet6, wizard.TabSheet7,
                            wizard.TabSheet8, wizard.TabSheet9})
        page->SetTabVisible(std::find(shown.begin(), shown.end(), page) != shown.end());
    wizard.TabSheet1->SetTabVisible(true);
    wizard.PageControl1->SetActivePage(wizard.TabSheet1);
    wizard.Show();
}

// The picture application and the PDF gallery start internet-optimised, with
// the limits dialog's values in the page's own fields.
void CopyLimits(TForm1& wizard, TEdit& height, TEdit& width, TEdit& size)
{
    const TForm11& limits = FormRef(LimitsDialog, "TForm11");
    height.SetText(limits.Edit1->Text());
    width.SetText(limits.Edit2->Text());
    size.SetText(limits.Edit3->Text());
    wizard.CheckBox9->SetChecked(true);
    wizard.RadioButton11->SetChecked(true);
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// Nothing, or the reason the PHP administration fields are refused.
const char* PhpAdminRefusal(const TForm21& dialog)
{
    const std::string& password = dialog.Edit1->Text();
    const std::string& email = dialog.Edit2->Text();
    if (password.size() <= 2 || email.size() <= 6)
        return MissingPhpAdmin;
    for (const std::string* field : {&password, &email})
        if (Contains(*field, "*/") || Contains(*field, "?>"))
            return UnsafePhpAdmin;
    return nullptr;
}

}  // namespace

void TVM::MTranBtn1Click(TObject*)
{
    PlayButtonSound();
    TForm1& wizard = FormRef(WizardForm, "TForm1");
    wizard.RadioButton4->SetChecked(true);
    wizard.PhpGallery = false;
    ShowWizardPages(wizard, {wizard.TabSheet4, wizard.TabSheet5});
}

void TVM::MTranBtn2Click(TObject*)
{
    TForm1& wizard = FormRef(WizardForm, "TForm1");
    TForm21& dialog = FormRef(GalleryKindDialog, "TForm21");
    wizard.TabSheet9->SetTabVisible(true);
    wizard.TabSheet7->SetTabVisible(false);
    dialog.Timer1->SetEnabled(true);
    PlayButtonSound();
    for (;;) {
        if (dialog.ShowModal() != mrOk) {
            dialog.Timer1->SetEnabled(false);
            return;
        }
        if (!dialog.RadioButton1->Checked())
            break;
        const char* refusal = PhpAdminRefusal(dialog);
        if (!refusal)
            break;
        ShowMessage(refusal);
    }
    dialog.Timer1->SetEnabled(false);
    wizard.PhpGallery = dialog.RadioButton1->Checked();
    wizard.PhpViewCount = dialog.CheckBox1->Checked();
    wizard.PhpVoting = dialog.CheckBox2->Checked();
    wizard.PhpPictureComments = dialog.CheckBox3->Checked();
    wizard.PhpMailPicture = dialog.CheckBox4->Checked();
    wizard.PhpChartViews = dialog.CheckBox5->Checked();
    wizard.PhpChartVotes = dialog.CheckBox6->Checked();
    wizard.PhpGalleryComments = dialog.CheckBox7->Checked();
    wizard.RadioButton3->SetChecked(true);
    ShowWizardPages(wizard, {wizard.TabSheet2, wizard.TabSheet4, wizard.TabSheet9});
}

void TVM::MTranBtn4Click(TObject*)
{
    PlayButtonSound();
    TForm1& wizard = FormRef(WizardForm, "TForm1");
    wizard.RadioButton5->SetChecked(true);
    wizard.PhpGallery = false;
    ShowWizardPages(wizard, {wizard.TabSheet6});
}

void TVM::MTranBtn7Click(TObject*)
{
    PlayButtonSound();
    TForm1& wizard = FormRef(WizardForm, "TForm1");
    wizard.RadioButton10->SetChecked(true);
    wizard.PhpGallery = false;
    wizard.ExeGalleryMode = true;
    CopyLimits(wizard, *wizard.Edit19, *wizard.Edit20, *wizard.Edit21);
    ShowWizardPages(wizard, {wizard.TabSheet7});
}

void TVM::MTranBtn8Click(TObject*)
{
    PlayButtonSound();
    TForm1& wizard = FormRef(WizardForm, "TForm1");
    wizard.RadioButton10->SetChecked(true);
    wizard.RadioButton13->SetChecked(true);
    wizard.PhpGallery = false;
    wizard.ExeGalleryMode = false;
    wizard.Edit27->SetText(DateToStr(Date()));
    CopyLimits(wizard, *wizard.Edit22, *wizard.Edit23, *wizard.Edit24);
    ShowWizardPages(wizard, {wizard.TabSheet8});
}
