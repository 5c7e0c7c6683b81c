#pragma once

// The picture editor: quarter turns, brightness, contrast and the red, green
// and blue levels of the wizard's selected picture, with a small preview.
//
// - The wizard prepares three working pictures of the preview's size: the
//   preview (Image1), the base from which the current slider operation is
//   computed, and the start state that Reset returns to; it names them with
//   the full picture, the picture list and the program folder through
//   SetWorkPictures before it shows the editor.
// - The first slider change of a burst starts the one-second Timer1; the
//   preview step then recomputes the touched operation from the base, which
//   becomes the preview's state whenever another operation is touched.
// - "Ok!" turns and changes the full picture and saves it as a numbered copy
//   in the program folder's "backups/" (the next number without a file, or the
//   entry's own copy when it already is one); the list entry then names the
//   copy, so the user's file is never written. A failed save restores the
//   cursor and the status line, says why and leaves the editor open.

#include <string>

#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TPanel.h"
#include "platform/controls/TTimer.h"
#include "platform/controls/TTrackBar.h"

// Whether the editor takes `path` as a JPEG or a GIF picture: ".jpg"/".JPG"
// or ".gif"/".GIF" anywhere in it.
bool IsJpegPath(const std::string& path);
bool IsGifPath(const std::string& path);

// The last operation touched: "rota1" (+90), "rota2" (-90), "hell", "kont",
// "rot", "gruen", "blau".
extern std::string EditOperation;
// Slider changes since the last preview step.
extern int SliderChangeCount;
// Quarter turns, -2..2 (negative: to the left).
extern int RotationQuarterTurns;
// The number of the last backup written in this run (0 at start-up).
extern int BackupPictureCount;

class TForm17 : public TForm {
public:
    explicit TForm17(TComponent* AOwner);
    ~TForm17() override;
    const char* ClassName() const override { return "TForm17"; }

    // Every slider to 0; enables only the controls of the chosen operations.
    void initElements(bool rotateLeft, bool rotateRight, bool colours, bool contrast, bool brightness);
    // What the editor works on: the full picture (shown in `fullPicture`, the
    // result goes back there), the base and start-state images, the list whose
    // selected entry is the picture's path, and the program folder ("/" at the end).
    void SetWorkPictures(TImage& fullPicture, TImage& base, TImage& start, TListBox& pictureList,
                         const std::string& programFolder);

    // The tag for which the base is current ("" after opening and Reset).
    std::string LastEditOperation;

    TLabel* Label1;
    TLabel* Label2;  // status
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label5;
    TLabel* Label6;
    TLabel* Label7;
    TBitBtn* BitBtn1;  // -90
    TBitBtn* BitBtn2;  // +90
    TBitBtn* BitBtn3;  // Ok!
    TBitBtn* BitBtn4;  // Cancel
    TBitBtn* BitBtn5;  // Reset
    TTrackBar* TrackBar1;  // brightness
    TTrackBar* TrackBar2;  // red
    TTrackBar* TrackBar3;  // green
    TTrackBar* TrackBar4;  // blue
    TTrackBar* TrackBar5;  // contrast
    TPanel* Panel1;
    TImage* Image1;  // preview
    TTimer* Timer1;

private:
    void FormCreate(TObject* Sender);
    void SliderChange(const char* operation);
    void TrackBar1Change(TObject* Sender);
    void TrackBar2Change(TObject* Sender);
    void TrackBar3Change(TObject* Sender);
    void TrackBar4Change(TObject* Sender);
    void TrackBar5Change(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);
    void BitBtn3Click(TObject* Sender);
    void BitBtn4Click(TObject* Sender);
    void BitBtn5Click(TObject* Sender);
    void Turn(const char* operation, int step);
    void ApplyAndSave();
    std::string NextBackupName(const std::string& extension) const;
    // The list replaces an entry by deleting and inserting it, which drops
    // the selection; the edited entry stays the selected one.
    void ReplaceEntry(int index, const std::string& path);

    TImage* FFullPicture = nullptr;
    TImage* FBase = nullptr;
    TImage* FStart = nullptr;
    TListBox* FPictureList = nullptr;
    std::string FProgramFolder;
};

extern TForm17* PictureEditorForm;
