#include "platform/controls/UserInteraction.h"

#include "platform/controls/TCustomForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TMenu.h"

std::vector<std::string> MessageLines(std::string_view text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            lines.back() += c;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines.emplace_back();
    }
    return lines;
}

namespace {

class TRefusingInteraction : public TUserInteraction {
public:
    void BeginModal(TCustomForm& form) override
    {
        throw EUnscriptedInteraction("unscripted modal form " + form.Name() + " \"" + form.Caption() + "\"");
    }
    void ModalIdle(TCustomForm& form) override { BeginModal(form); }
    void EndModal(TCustomForm&) override {}
    int MessageBox(const std::string& text, const std::string& caption, unsigned) override
    {
        throw EUnscriptedInteraction("unscripted message box \"" + caption + "\": " + text);
    }
    bool ExecuteFileDialog(TOpenDialog& dialog, bool save) override
    {
        throw EUnscriptedInteraction(std::string("unscripted ") + (save ? "save" : "open") + " dialog " +
                                     dialog.Name() + " \"" + dialog.Title() + "\"");
    }
    bool ExecuteColorDialog(TColorDialog& dialog) override
    {
        throw EUnscriptedInteraction("unscripted colour dialog " + dialog.Name());
    }
    bool ExecuteFontDialog(TFontDialog& dialog) override
    {
        throw EUnscriptedInteraction("unscripted font dialog " + dialog.Name());
    }
    bool BrowseForFolder(const std::string& title, std::string&) override
    {
        throw EUnscriptedInteraction("unscripted folder dialog \"" + title + "\"");
    }
    TMenuItem* PopupMenu(TPopupMenu& menu, int, int) override
    {
        throw EUnscriptedInteraction("unscripted pop-up menu " + menu.Name());
    }
};

thread_local TUserInteraction* Installed = nullptr;

}  // namespace

TUserInteraction& UserInteraction()
{
    static TRefusingInteraction refusing;
    return Installed ? *Installed : refusing;
}

void SetUserInteraction(TUserInteraction* interaction) { Installed = interaction; }
TUserInteraction* InstalledUserInteraction() { return Installed; }
