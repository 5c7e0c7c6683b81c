#include "builder/generator/PhpGalleryRoad.h"

#include "builder/dialogs/FormReference.h"
#include "builder/dialogs/GalleryKindDialog.h"
#include "builder/pages/PhpGalleryPages.h"
#include "builder/wizard/WizardForm.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"

namespace {

std::string TemplateFolder(const TForm1& wizard) { return wizard.ProgramFolder + "php_temps/"; }

TPhpOptions OptionsOf(const TForm1& wizard)
{
    return {wizard.PhpViewCount,  wizard.PhpVoting,     wizard.PhpPictureComments, wizard.PhpMailPicture,
            wizard.PhpChartViews, wizard.PhpChartVotes, wizard.PhpGalleryComments};
}

}  // namespace

TPhpInserts TPhpGalleryRoad::PageInserts(TForm1& wizard)
{
    const std::string templates = TemplateFolder(wizard);
    const TPhpOptions options = OptionsOf(wizard);
    TPhpInserts inserts;
    inserts.PageStart = PhpPageStart();
    inserts.Functions = BuildPhpFunctions(templates, wizard.PhpGallery, options.ViewCount, options.Voting,
                                          options.PictureComments, options.MailPicture);
    inserts.ChartLinks = PhpChartLinks(options);
    inserts.ChartPages = [=](const std::string& indexHead) { return PhpChartPages(options, templates, indexHead); };
    inserts.GalleryPageEnd = [=](int page) { return PhpGalleryPageEnd(options, templates, page); };
    inserts.CellBar = [=, target = wizard.CheckBox8->Checked() ? std::string(" target=_blank") : std::string()](
                          int n, bool gif) { return PhpCellBar(options, n, gif, "php", target); };
    inserts.FullPageScript = [=](int n) { return PhpFullPageScript(templates, n); };
    inserts.FullPageFeatures = [=](int n, bool gif) { return PhpFullPageFeatures(options, templates, n, gif); };
    inserts.OwnerText = PhpInlineText;
    return inserts;
}

void TPhpGalleryRoad::WriteFiles(TForm1& wizard, const std::string& folder)
{
    const std::string templates = TemplateFolder(wizard);
    for (const TPhpCopy& copy : PhpByteCopies)
        WriteFileBytes(folder + copy.Target, ReadFileBytes(templates + copy.Source));
    for (const TPageFile& page : PhpMailPages(OptionsOf(wizard), templates, wizard.Edit4->Text()))
        WritePageFile(folder, page);
    const TForm21& kind = FormRef(GalleryKindDialog, "TForm21");
    WriteFileBytes(folder + "pa.php", PasswordFileText(kind.Edit1->Text(), kind.Edit2->Text()));
    WriteFileBytes(folder + "gcom.ctx", "");
    const int pictures = wizard.ListBox1->Items().Count();
    for (int n = 0; n < pictures; ++n)
        WriteFileBytes(folder + "th_" + IntToStr(n) + ".cnt", FreshCounterFileText());
}
