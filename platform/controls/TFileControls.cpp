#include "platform/controls/TFileControls.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

#include <dirent.h>

#include "platform/controls/Properties.h"
#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"

namespace {

std::vector<std::string> SortedNoCase(std::vector<std::string> names)
{
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    return names;
}

TFolderListing ListedNoCase(const std::string& dir, std::string_view masks, TFindKind kind)
{
    if (dir.empty()) return {};
    TFolderListing listing = ListFolder(dir, masks, kind);
    listing.Names = SortedNoCase(std::move(listing.Names));
    return listing;
}

std::string Normalised(const std::string& dir)
{
    std::string d = ExpandFileName(dir);
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    return d.empty() ? "/" : d;
}

bool OnDrive(const std::string& dir, const std::string& root)
{
    if (root == "/") return true;
    return dir.compare(0, root.size(), root) == 0 && (dir.size() == root.size() || dir[root.size()] == '/');
}

// The mount table writes blanks and a few other bytes as octal escapes.
std::string UnescapedMountPoint(const std::string& field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

}  // namespace

TFileListBox::TFileListBox(TComponent* AOwner) : TListBox(AOwner) { SetSorted(false); }

const TPropertyTable& TFileListBox::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TListBox::PropertyTable());
        t.String<TFileListBox>("Mask", &TFileListBox::Mask, &TFileListBox::SetMask);
        t.String<TFileListBox>("Directory", &TFileListBox::Directory, &TFileListBox::SetDirectory);
        t.Bool<TFileListBox>("ShowGlyphs", &TFileListBox::ShowGlyphs, &TFileListBox::SetShowGlyphs);
        t.EventHandler<TFileListBox>("OnChange", &TFileListBox::OnChange);
        // The items come from the folder, never from the layout.
        t.Add("Items.Strings", [](TComponent&, const TLayoutValue&, TLayoutReadContext& ctx) {
                  ctx.Fail("a file list reads its items from its folder");
              },
              [](const TComponent&) -> std::optional<TLayoutValue> { return std::nullopt; });
        return t;
    }();
    return table;
}

void TFileListBox::SetDirectory(const std::string& value)
{
    const std::string dir = value.empty() ? value : Normalised(value);
    if (dir == FDirectory) return;
    FDirectory = dir;
    Update();
}

void TFileListBox::SetMask(const std::string& value)
{
    if (value == FMask) return;
    FMask = value;
    Update();
}

void TFileListBox::Update()
{
    if (Loading()) return;
    Items().Clear();
    TFolderListing listing = ListedNoCase(FDirectory, FMask, TFindKind::Files);
    for (const std::string& name : listing.Names) Items().Add(name);
    FUnrepresentable = std::move(listing.Unrepresentable);
    Fire(*this, OnChange, this);
}

std::string TFileListBox::FileName() const
{
    if (ItemIndex() < 0) return {};
    return IncludeTrailingPathDelimiter(FDirectory) + Items().Strings(ItemIndex());
}

void TFileListBox::Loaded()
{
    TListBox::Loaded();
    if (FDirectory.empty()) FDirectory = Normalised(GetCurrentDir());
    Update();
}

void TFileListBox::Click()
{
    TComponentWatch watch(this);
    TListBox::Click();
    if (watch.Alive() && !Loading()) Fire(*this, OnChange, this);
}

TDirectoryListBox::TDirectoryListBox(TComponent* AOwner) : TListBox(AOwner) {}

const TPropertyTable& TDirectoryListBox::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TListBox::PropertyTable());
        t.String<TDirectoryListBox>("Directory", &TDirectoryListBox::Directory, &TDirectoryListBox::SetDirectory);
        t.Reference<TDirectoryListBox, TFileListBox>("FileList", &TDirectoryListBox::FileList,
                                                     &TDirectoryListBox::SetFileList);
        t.Reference<TDirectoryListBox, TLabel>("DirLabel", &TDirectoryListBox::DirLabel, &TDirectoryListBox::SetDirLabel);
        t.EventHandler<TDirectoryListBox>("OnChange", &TDirectoryListBox::OnChange);
        t.Add("Items.Strings", [](TComponent&, const TLayoutValue&, TLayoutReadContext& ctx) {
                  ctx.Fail("a folder list reads its items from its folder");
              },
              [](const TComponent&) -> std::optional<TLayoutValue> { return std::nullopt; });
        return t;
    }();
    return table;
}

void TDirectoryListBox::SetDirectory(const std::string& value)
{
    const std::string dir = Normalised(value);
    if (dir == FDirectory) return;
    FDirectory = dir;
    if (Loading()) return;
    Fill();
    if (FFileList) FFileList->SetDirectory(FDirectory);
    if (FDirLabel) FDirLabel->SetCaption(FDirectory);
    Fire(*this, OnChange, this);
}

std::string TDirectoryListBox::Drive() const
{
    if (!FDrive.empty() && OnDrive(FDirectory, FDrive)) return FDrive;
    std::string best = "/";
    for (const std::string& root : TDriveComboBox::SystemDrives())
        if (OnDrive(FDirectory, root) && root.size() > best.size()) best = root;
    return best;
}

void TDirectoryListBox::SetDrive(const std::string& root)
{
    const std::string dir = Normalised(root);
    std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(ToSystemPath(dir).c_str()), ::closedir);
    if (!handle) {
        const int error = errno;
        throw EInOutError("The drive " + dir + " is not ready", error);
    }
    handle.reset();
    FDrive = dir;
    SetDirectory(dir);
}

void TDirectoryListBox::Fill()
{
    Items().Clear();
    Items().Add("/");
    std::string path;
    std::size_t start = 1;
    while (start < FDirectory.size()) {
        std::size_t end = FDirectory.find('/', start);
        if (end == std::string::npos) end = FDirectory.size();
        Items().Add(FDirectory.substr(start, end - start));
        start = end + 1;
    }
    FPathItems = Items().Count();
    for (const std::string& name : ListedNoCase(FDirectory, "*", TFindKind::Directories).Names) Items().Add(name);
    SetItemIndex(FPathItems - 1);
}

std::string TDirectoryListBox::GetItemPath(int index) const
{
    if (index < 0 || index >= Items().Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    if (index >= FPathItems) return IncludeTrailingPathDelimiter(FDirectory) + Items().Strings(index);
    std::string path = "/";
    for (int i = 1; i <= index; ++i) path += (i > 1 ? "/" : "") + Items().Strings(i);
    return path;
}

void TDirectoryListBox::OpenAsUser(int index)
{
    if (index < 0 || index >= Items().Count()) return;
    SetDirectory(GetItemPath(index));
}

void TDirectoryListBox::DblClick()
{
    TComponentWatch watch(this);
    TListBox::DblClick();
    if (watch.Alive() && ItemIndex() >= 0) OpenAsUser(ItemIndex());
}

void TDirectoryListBox::Update()
{
    if (!FDirectory.empty()) Fill();
}

void TDirectoryListBox::SetFileList(TFileListBox* list)
{
    if (list == FFileList) return;
    if (FFileList) FFileList->RemoveFreeNotification(this);
    FFileList = list;
    if (list) {
        list->FreeNotification(this);
        if (!Loading() && !FDirectory.empty()) list->SetDirectory(FDirectory);
    }
}

void TDirectoryListBox::SetDirLabel(TLabel* label)
{
    if (label == FDirLabel) return;
    if (FDirLabel) FDirLabel->RemoveFreeNotification(this);
    FDirLabel = label;
    if (label) {
        label->FreeNotification(this);
        if (!Loading()) label->SetCaption(FDirectory);
    }
}

void TDirectoryListBox::Loaded()
{
    TListBox::Loaded();
    if (FDirectory.empty()) FDirectory = Normalised(GetCurrentDir());
    Fill();
    if (FFileList) FFileList->SetDirectory(FDirectory);
    if (FDirLabel) FDirLabel->SetCaption(FDirectory);
}

void TDirectoryListBox::Notification(TComponent* component, TOperation operation)
{
    TListBox::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == FFileList) FFileList = nullptr;
    if (component == FDirLabel) FDirLabel = nullptr;
}

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TComboBox(AOwner)
{
    SetStyle(csDropDownList);
    Update();
}

std::vector<std::string> TDriveComboBox::SystemDrives()
{
    std::vector<std::string> drives{"/"};
    std::ifstream table("/proc/self/mounts");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string device, point;
        if (!(fields >> device >> point)) continue;
        std::string name;
        if (!TryUtf8ToCp1252(UnescapedMountPoint(point), name)) continue;
        const bool removable = name.rfind("/media/", 0) == 0 || name.rfind("/run/media/", 0) == 0;
        if (removable && std::find(drives.begin(), drives.end(), name) == drives.end()) drives.push_back(name);
    }
    std::sort(drives.begin() + 1, drives.end());
    return drives;
}

std::string TDriveComboBox::Drive() const
{
    if (ItemIndex() < 0 || ItemIndex() >= Items().Count()) return "/";
    return Items().Strings(ItemIndex());
}

void TDriveComboBox::SetDrive(const std::string& root)
{
    const int index = Items().IndexOf(Normalised(root));
    if (index >= 0) SetItemIndex(index);
}

void TDriveComboBox::Update()
{
    const std::string selected = Drive();
    Items().Clear();
    for (const std::string& root : SystemDrives()) Items().Add(root);
    const int index = Items().IndexOf(selected);
    SetItemIndex(index >= 0 ? index : 0);
}

const TPropertyTable& TDriveComboBox::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TWinControl::PropertyTable());
        t.Reference<TDriveComboBox, TDirectoryListBox>("DirList", &TDriveComboBox::DirList, &TDriveComboBox::SetDirList);
        t.EventHandler<TComboBox>("OnChange", &TComboBox::OnChange);
        return t;
    }();
    return table;
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list)
{
    if (list == FDirList) return;
    if (FDirList) FDirList->RemoveFreeNotification(this);
    FDirList = list;
    if (list) list->FreeNotification(this);
}

void TDriveComboBox::Notification(TComponent* component, TOperation operation)
{
    TComboBox::Notification(component, operation);
    if (operation == opRemove && component == FDirList) FDirList = nullptr;
}
