// The file open and save dialogs and the folder browser: one window of our
// own. A folder list (folders first, then the files matching the chosen
// filter, case-insensitively; dot-files hidden), the folder's path, the file
// name, the filter list, and the buttons. Several files may be chosen where
// the dialog allows it; they show quoted in the name field.
//
// Names cross at the file system as UTF-8. A name CP1252 cannot hold is shown
// but cannot be chosen: the dialog says so, naming it, instead of changing it.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/controls/UserInteraction.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"
#include "platform/display/Dialogs.h"
#include "platform/display/DropDownList.h"
#include "platform/display/Toolkit.h"
#include "platform/display/ToolkitText.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multi_Browser.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

namespace {

struct TFilter {
    std::string Description;
    std::string Masks;
};

// "Pictures|*.jpg;*.gif|All files|*.*" into its pairs; none gives "*.*".
std::vector<TFilter> ParseFilter(const std::string& filter)
{
    std::vector<TFilter> out;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const std::size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) out.push_back({parts[i], parts[i + 1]});
    if (out.empty()) out.push_back({"All files (*.*)", "*.*"});
    return out;
}

// A 16 x 16 icon drawn in code: a folder or a sheet of paper.
std::unique_ptr<Fl_RGB_Image> MakeIcon(bool folder, std::vector<unsigned char>& pixels)
{
    pixels.assign(16 * 16 * 4, 0);
    auto put = [&](int x, int y, unsigned char r, unsigned char g, unsigned char b) {
        unsigned char* p = &pixels[static_cast<std::size_t>(y * 16 + x) * 4];
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = 255;
    };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (folder) {
                const bool tab = y >= 2 && y < 4 && x >= 1 && x < 7;
                const bool body = y >= 4 && y < 14 && x >= 1 && x < 15;
                const bool edge = body && (y == 4 || y == 13 || x == 1 || x == 14);
                if (edge) put(x, y, 170, 130, 40);
                else if (body || tab) put(x, y, 240, 200, 90);
            } else {
                const bool sheet = y >= 1 && y < 15 && x >= 3 && x < 13;
                const bool edge = sheet && (y == 1 || y == 14 || x == 3 || x == 12);
                if (edge) put(x, y, 120, 120, 120);
                else if (sheet) put(x, y, 255, 255, 255);
            }
        }
    return std::make_unique<Fl_RGB_Image>(pixels.data(), 16, 16, 4);
}

class TChoiceButton : public Fl_Button {
public:
    using Fl_Button::Fl_Button;
    void draw() override
    {
        draw_box(FL_DOWN_BOX, x(), y(), w(), h(), FL_WHITE);
        fl_font(FL_HELVETICA, Toolkit::TextSize());
        fl_color(FL_BLACK);
        fl_push_clip(x() + 2, y() + 2, w() - 22, h() - 4);
        fl_draw(label() ? label() : "", x() + 5, y() + (h() + fl_height()) / 2 - fl_descent());
        fl_pop_clip();
        draw_box(FL_UP_BOX, x() + w() - 19, y() + 1, 18, h() - 2, FL_BACKGROUND_COLOR);
        const int cx = x() + w() - 10;
        const int cy = y() + h() / 2;
        fl_polygon(cx - 4, cy - 2, cx + 4, cy - 2, cx, cy + 2);
    }
};

class TFileWindow {
public:
    enum class TMode { Open, Save, Folder };
    enum class TPending { Idle, Accept, Navigate };

    TFileWindow(TMode mode, const std::string& title, bool multiple, std::vector<TFilter> filters, int filterIndex)
        : FMode(mode), FMultiple(multiple), FFilters(std::move(filters))
    {
        if (FFilters.empty()) FFilters.push_back({"All files (*.*)", "*.*"});
        FFilterIndex = std::clamp(filterIndex, 0, static_cast<int>(FFilters.size()) - 1);
        const bool folder = mode == TMode::Folder;
        const int width = 560;
        const int height = folder ? 360 : 392;
        FWindow = Toolkit::Make<TDialogWindow>(width, height);
        FWindow->OnReturn = [this] { FPending = TPending::Accept; };
        FWindow->copy_label(Toolkit::Text(title).c_str());
        auto& lookIn = AddWidget<Fl_Box>(*FWindow, 10, 10, 70, 26, folder ? "Folder:" : "Look in:");
        lookIn.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
        lookIn.labelsize(Toolkit::TextSize());
        FPath = &AddWidget<Fl_Input>(*FWindow, 84, 10, width - 84 - 60, 26);
        FPath->textsize(Toolkit::TextSize());
        FPath->when(FL_WHEN_ENTER_KEY_ALWAYS);
        FCallbacks.Bind(*FPath, [this] {
            FPending = TPending::Navigate;
            FTarget = FPath->value();
        });
        auto& up = AddWidget<Fl_Button>(*FWindow, width - 54, 10, 44, 26, "Up");
        up.labelsize(Toolkit::TextSize());
        FCallbacks.Bind(up, [this] { GoTo(std::filesystem::path(FDir).parent_path().string()); });
        const int listBottom = height - (folder ? 50 : 84);
        if (multiple) FList = &AddWidget<Fl_Multi_Browser>(*FWindow, 10, 44, width - 20, listBottom - 44);
        else FList = &AddWidget<Fl_Hold_Browser>(*FWindow, 10, 44, width - 20, listBottom - 44);
        FList->format_char(0);
        FList->textsize(Toolkit::TextSize());
        FList->when(FL_WHEN_CHANGED);
        FCallbacks.Bind(*FList, [this] { ListClicked(); });
        int y = listBottom + 10;
        if (!folder) {
            auto& nameLabel = AddWidget<Fl_Box>(*FWindow, 10, y, 90, 26, "File name:");
            nameLabel.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
            nameLabel.labelsize(Toolkit::TextSize());
            FName = &AddWidget<Fl_Input>(*FWindow, 104, y, width - 104 - 110, 26);
            FName->textsize(Toolkit::TextSize());
            FName->when(FL_WHEN_ENTER_KEY_ALWAYS);
            FCallbacks.Bind(*FName, [this] { FPending = TPending::Accept; });
        }
        auto& ok = AddWidget<Fl_Button>(*FWindow, width - 100, y, 90, 26,
                                        mode == TMode::Save ? "&Save" : mode == TMode::Open ? "&Open" : "OK");
        ok.labelsize(Toolkit::TextSize());
        FCallbacks.Bind(ok, [this] { FPending = TPending::Accept; });
        y += 34;
        auto& cancel = AddWidget<Fl_Button>(*FWindow, width - 100, folder ? y - 34 : y, 90, 26, "Cancel");
        if (folder) {
            ok.position(width - 200, y - 34);
        }
        cancel.labelsize(Toolkit::TextSize());
        FCallbacks.Bind(cancel, [this] { FDone = true; });
        FCallbacks.Bind(*FWindow, [this] { FDone = true; });
        if (!folder) {
            auto& typeLabel = AddWidget<Fl_Box>(*FWindow, 10, y, 90, 26, "Files of type:");
            typeLabel.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
            typeLabel.labelsize(Toolkit::TextSize());
            FType = &AddWidget<TChoiceButton>(*FWindow, 104, y, width - 104 - 110, 26);
            FType->copy_label(Toolkit::Text(FFilters[static_cast<std::size_t>(FFilterIndex)].Description).c_str());
            FCallbacks.Bind(*FType, [this] { OpenTypes(); });
        }
        FWindow->FirstFocus = FName ? static_cast<Fl_Widget*>(FName) : FList;
        FFolderIcon = MakeIcon(true, FFolderPixels);
        FFileIcon = MakeIcon(false, FFilePixels);
    }

    void SetName(const std::string& cp1252)
    {
        if (!FName) return;
        // Selected, so that typing replaces it.
        FName->value(Toolkit::Text(cp1252).c_str());
        FName->position(FName->size(), 0);
    }

    // Runs the dialog; the chosen paths (CP1252), none when cancelled.
    std::vector<std::string> Run(const std::string& startDir)
    {
        GoTo(startDir);
        RunModalWindow(*FWindow, [this] {
            const TPending pending = FPending;
            FPending = TPending::Idle;
            if (pending == TPending::Navigate) Navigate(FTarget);
            else if (pending == TPending::Accept) Accept();
            return FDone;
        });
        return FChosen;
    }

    int FilterIndex() const { return FFilterIndex; }
    std::string DefaultExt;
    bool OverwritePrompt = false;
    bool MustExist = false;

private:
    struct TEntry {
        std::string Shown;  // UTF-8
        std::string Name;   // CP1252; empty when it cannot be held
        bool Folder = false;
    };

    void GoTo(const std::string& utf8Dir)
    {
        std::error_code error;
        std::filesystem::path dir = std::filesystem::absolute(utf8Dir.empty() ? "/" : utf8Dir, error).lexically_normal();
        if (!std::filesystem::is_directory(dir, error)) return;
        std::string text = dir.string();
        if (text.size() > 1 && text.back() == '/') text.pop_back();
        FDir = text;
        FPath->value(FDir.c_str());
        Fill();
    }

    void Fill()
    {
        FEntries.clear();
        std::vector<TEntry> folders;
        std::vector<TEntry> files;
        const std::string& masks = FFilters[static_cast<std::size_t>(FFilterIndex)].Masks;
        std::error_code error;
        for (std::filesystem::directory_iterator it(FDir, error), end; !error && it != end; it.increment(error)) {
            const std::string shown = it->path().filename().string();
            if (shown.empty() || shown[0] == '.') continue;
            TEntry entry;
            entry.Shown = shown;
            if (!TryUtf8ToCp1252(shown, entry.Name)) entry.Name.clear();
            std::error_code kindError;
            entry.Folder = it->is_directory(kindError);
            if (entry.Folder) folders.push_back(entry);
            else if (FMode != TMode::Folder && MatchesMasks(entry.Name.empty() ? Toolkit::FromText(shown) : entry.Name, masks))
                files.push_back(entry);
        }
        auto order = [](const TEntry& a, const TEntry& b) { return LowerCase(a.Shown) < LowerCase(b.Shown); };
        std::sort(folders.begin(), folders.end(), order);
        std::sort(files.begin(), files.end(), order);
        FEntries = std::move(folders);
        FEntries.insert(FEntries.end(), files.begin(), files.end());
        FList->clear();
        for (std::size_t i = 0; i < FEntries.size(); ++i) {
            FList->add(FEntries[i].Shown.c_str());
            FList->icon(static_cast<int>(i) + 1, FEntries[i].Folder ? FFolderIcon.get() : FFileIcon.get());
        }
    }

    void ListClicked()
    {
        const int line = FList->value();
        if (line <= 0 || line > static_cast<int>(FEntries.size())) return;
        const TEntry& entry = FEntries[static_cast<std::size_t>(line - 1)];
        if (Fl::event_clicks() > 0 && Fl::event() == FL_PUSH) {
            Fl::event_clicks(0);
            if (entry.Folder) {
                FPending = TPending::Navigate;
                FTarget = (std::filesystem::path(FDir) / entry.Shown).string();
            } else if (FMode != TMode::Folder) {
                FPending = TPending::Accept;
            }
            return;
        }
        if (!FName || entry.Folder) return;
        if (!FMultiple) {
            FName->value(entry.Shown.c_str());
            return;
        }
        std::string names;
        int count = 0;
        for (int i = 1; i <= FList->size(); ++i) {
            if (!FList->selected(i) || FEntries[static_cast<std::size_t>(i - 1)].Folder) continue;
            names += (count ? " \"" : "\"") + FEntries[static_cast<std::size_t>(i - 1)].Shown + "\"";
            ++count;
        }
        if (count == 1) names = entry.Shown;
        FName->value(names.c_str());
    }

    void OpenTypes()
    {
        std::vector<std::string> rows;
        for (const TFilter& f : FFilters) rows.push_back(Toolkit::Text(f.Description));
        OpenDropDown(std::move(rows), FFilterIndex, FWindow->x() + FType->x(), FWindow->y() + FType->y() + FType->h(),
                     FType->w(), 8, FL_HELVETICA, Toolkit::TextSize(), [this](int chosen) {
                         if (chosen < 0) return;
                         FFilterIndex = chosen;
                         FType->copy_label(Toolkit::Text(FFilters[static_cast<std::size_t>(chosen)].Description).c_str());
                         FType->redraw();
                         Fill();
                     });
    }

    void Navigate(const std::string& utf8)
    {
        std::error_code error;
        std::filesystem::path target(utf8);
        if (target.is_relative()) target = std::filesystem::path(FDir) / target;
        if (std::filesystem::is_directory(target, error)) GoTo(target.string());
        else RunMessageBox(Toolkit::FromText(utf8) + "\r\nThe folder does not exist.", "Folder", MB_OK | MB_ICONWARNING);
    }

    // The names of the name field: quoted ones, or the whole text.
    std::vector<std::string> TypedNames() const
    {
        std::vector<std::string> names;
        const std::string text = FName ? FName->value() : "";
        if (text.find('"') == std::string::npos) {
            const std::string trimmed = Trim(text);
            if (!trimmed.empty()) names.push_back(trimmed);
            return names;
        }
        std::size_t at = 0;
        while ((at = text.find('"', at)) != std::string::npos) {
            const std::size_t end = text.find('"', at + 1);
            if (end == std::string::npos) break;
            if (end > at + 1) names.push_back(text.substr(at + 1, end - at - 1));
            at = end + 1;
        }
        return names;
    }

    void Accept()
    {
        std::string dir;
        if (!TryUtf8ToCp1252(FDir, dir)) {
            RunMessageBox("The folder's name holds characters that cannot be used here:\r\n" + PrintableText(FDir),
                          FWindow->label() ? Toolkit::FromText(FWindow->label()) : "", MB_OK | MB_ICONERROR);
            return;
        }
        if (FMode == TMode::Folder) {
            const int line = FList->value();
            if (line > 0 && line <= static_cast<int>(FEntries.size()) && FEntries[static_cast<std::size_t>(line - 1)].Folder) {
                const TEntry& entry = FEntries[static_cast<std::size_t>(line - 1)];
                if (entry.Name.empty()) return Refuse(entry.Shown);
                dir = IncludeTrailingPathDelimiter(dir) + entry.Name;
            }
            FChosen = {dir};
            FDone = true;
            return;
        }
        std::vector<std::string> names = TypedNames();
        if (names.empty()) {
            const int line = FList->value();
            if (line > 0 && line <= static_cast<int>(FEntries.size()) && FEntries[static_cast<std::size_t>(line - 1)].Folder)
                Navigate((std::filesystem::path(FDir) / FEntries[static_cast<std::size_t>(line - 1)].Shown).string());
            return;
        }
        std::vector<std::string> chosen;
        for (const std::string& utf8 : names) {
            std::string name;
            if (!TryUtf8ToCp1252(utf8, name)) return Refuse(utf8);
            std::string path = !name.empty() && name[0] == '/' ? name : IncludeTrailingPathDelimiter(dir) + name;
            if (DirectoryExists(path) && names.size() == 1) {
                Navigate(ToSystemPath(path));
                if (FName) FName->value("");
                return;
            }
            if (FMode == TMode::Save && !DefaultExt.empty() && ExtractFileExt(path).empty()) path += "." + DefaultExt;
            if (FMode == TMode::Open && MustExist && !FileExists(path)) {
                RunMessageBox(path + "\r\nFile not found.\r\nCheck the file name and try again.", Title(),
                              MB_OK | MB_ICONWARNING);
                return;
            }
            if (FMode == TMode::Save && !DirectoryExists(ExtractFilePath(path))) {
                RunMessageBox(path + "\r\nThe folder does not exist.", Title(), MB_OK | MB_ICONWARNING);
                return;
            }
            if (FMode == TMode::Save && OverwritePrompt && FileExists(path) &&
                RunMessageBox(path + " already exists.\r\nDo you want to replace it?", Title(),
                              MB_YESNO | MB_ICONWARNING) != IDYES)
                return;
            chosen.push_back(path);
        }
        FChosen = std::move(chosen);
        FDone = true;
    }

    void Refuse(const std::string& utf8)
    {
        RunMessageBox("The name \"" + PrintableText(utf8) +
                          "\" holds characters outside the Windows-1252 code page; choose another file.",
                      Title(), MB_OK | MB_ICONERROR);
    }

    std::string Title() const { return FWindow->label() ? Toolkit::FromText(FWindow->label()) : std::string(); }

    TMode FMode;
    bool FMultiple;
    std::vector<TFilter> FFilters;
    int FFilterIndex = 0;
    std::unique_ptr<TDialogWindow> FWindow;
    Fl_Input* FPath = nullptr;
    Fl_Browser* FList = nullptr;
    Fl_Input* FName = nullptr;
    TChoiceButton* FType = nullptr;
    TCallbacks FCallbacks;
    std::vector<unsigned char> FFolderPixels;
    std::vector<unsigned char> FFilePixels;
    std::unique_ptr<Fl_RGB_Image> FFolderIcon;
    std::unique_ptr<Fl_RGB_Image> FFileIcon;
    std::string FDir;  // UTF-8
    std::vector<TEntry> FEntries;
    TPending FPending = TPending::Idle;
    std::string FTarget;
    bool FDone = false;
    std::vector<std::string> FChosen;
};

std::string StartFolder(const std::string& initialDir, const std::string& fileName)
{
    if (!initialDir.empty() && DirectoryExists(initialDir)) return ToSystemPath(initialDir);
    const std::string fromName = ExtractFilePath(fileName);
    if (!fromName.empty() && DirectoryExists(fromName)) return ToSystemPath(fromName);
    return ToSystemPath(GetCurrentDir());
}

}  // namespace

bool RunFileDialog(TOpenDialog& dialog, bool save)
{
    const std::string title = !dialog.Title().empty() ? dialog.Title() : save ? "Save As" : "Open";
    TFileWindow window(save ? TFileWindow::TMode::Save : TFileWindow::TMode::Open, title,
                       !save && (dialog.Options() & ofAllowMultiSelect), ParseFilter(dialog.Filter()),
                       dialog.FilterIndex() - 1);
    window.DefaultExt = dialog.DefaultExt();
    window.OverwritePrompt = (dialog.Options() & ofOverwritePrompt) != 0;
    window.MustExist = (dialog.Options() & ofFileMustExist) != 0;
    window.SetName(ExtractFileName(dialog.FileName()));
    const std::vector<std::string> chosen = window.Run(StartFolder(dialog.InitialDir(), dialog.FileName()));
    if (chosen.empty()) return false;
    dialog.SetFilterIndex(window.FilterIndex() + 1);
    dialog.SetChoice(chosen);
    return true;
}

bool RunFolderDialog(const std::string& title, std::string& folder)
{
    TFileWindow window(TFileWindow::TMode::Folder, title.empty() ? "Browse for Folder" : title, false, {}, 0);
    const std::vector<std::string> chosen = window.Run(StartFolder(folder, ""));
    if (chosen.empty()) return false;
    folder = chosen.front();
    return true;
}
