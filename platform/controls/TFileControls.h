#pragma once

// The file-system controls: a drive box, a folder list and a file list,
// usually linked (drive -> folders -> files).
//
// - Drives are folder roots: "/" first, then the mount points of removable
//   media (below /media and /run/media), as a desktop mounts them. A drive
//   can go away after it was listed, as a medium taken out does; switching a
//   folder list to it then raises, as switching to a drive not ready does.
// - TDirectoryListBox lists the path from the root down to Directory, then the
//   folders inside Directory (dot-folders left out, sorted without regard to
//   case). Setting Directory updates its linked file list and label, then runs
//   OnChange. Opening an item (a double click, or OpenAsUser) changes into it.
// - TFileListBox lists the plain files of Directory matching Mask (masks
//   separated by ";", case-insensitive, dot-files left out), sorted without
//   regard to case. Setting Directory or Mask re-reads it; so does Update.
//   FileName is the selected file's full path ("" with none). A folder that
//   cannot be read gives an empty list. The matching names CP1252 cannot
//   represent are not listed; Unrepresentable gives them, as the folder
//   listing does, for the program to tell.

#include "platform/controls/TComboBox.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TListBox.h"

class TFileListBox;
class TDirectoryListBox;

class TFileListBox : public TListBox {
public:
    explicit TFileListBox(TComponent* AOwner);

    const char* ClassName() const override { return "TFileListBox"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    const std::string& Directory() const { return FDirectory; }
    void SetDirectory(const std::string& value);
    const std::string& Mask() const { return FMask; }
    void SetMask(const std::string& value);
    std::string FileName() const;
    bool ShowGlyphs() const { return FShowGlyphs; }
    void SetShowGlyphs(bool value) { FShowGlyphs = value; }
    // Reads the folder again.
    void Update();
    // Of the last reading.
    const std::vector<std::string>& Unrepresentable() const { return FUnrepresentable; }

    TNotifyEvent OnChange;

    void Loaded() override;
    // A selection also runs OnChange.
    void Click() override;

private:
    std::string FDirectory;
    std::string FMask = "*.*";
    std::vector<std::string> FUnrepresentable;
    bool FShowGlyphs = false;
};

class TDirectoryListBox : public TListBox {
public:
    explicit TDirectoryListBox(TComponent* AOwner);

    const char* ClassName() const override { return "TDirectoryListBox"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    // Always ends without "/" except for the root.
    const std::string& Directory() const { return FDirectory; }
    void SetDirectory(const std::string& value);
    // The drive root of Directory: the last one switched to while Directory
    // lies on it, else the longest listed root it lies on.
    std::string Drive() const;
    // Moves to that drive's root; EInOutError when it cannot be read, and
    // nothing changes.
    void SetDrive(const std::string& root);
    TFileListBox* FileList() const { return FFileList; }
    void SetFileList(TFileListBox* list);
    TLabel* DirLabel() const { return FDirLabel; }
    void SetDirLabel(TLabel* label);
    // The full path of an item.
    std::string GetItemPath(int index) const;
    void OpenAsUser(int index);
    void Update();

    TNotifyEvent OnChange;

    void Loaded() override;

protected:
    void DblClick() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void Fill();
    std::string FDirectory;
    std::string FDrive;
    int FPathItems = 0;  // items that are the path itself
    TFileListBox* FFileList = nullptr;
    TLabel* FDirLabel = nullptr;
};

class TDriveComboBox : public TComboBox {
public:
    explicit TDriveComboBox(TComponent* AOwner);

    const char* ClassName() const override { return "TDriveComboBox"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    // The drive roots, read from the system's mount table.
    static std::vector<std::string> SystemDrives();

    // Items are the drive roots; Drive is the selected one ("/" with none).
    std::string Drive() const;
    // Selects that root when it is listed; runs no handler.
    void SetDrive(const std::string& root);
    // Lists the drives again, keeping the selection while its drive is there.
    void Update();
    // The folder list a layout links; a change of drive switches it in the
    // form's OnChange handler, where a drive not ready can be answered.
    TDirectoryListBox* DirList() const { return FDirList; }
    void SetDirList(TDirectoryListBox* list);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TDirectoryListBox* FDirList = nullptr;
};
