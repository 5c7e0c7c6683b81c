#pragma once

// The wizard window: the picture list with its comments, the gallery kind and
// every option of a build. The controls are the option store: the build reads
// them when it needs them.
//
// - PictureList is ListBox1 (one full path per line), CommentList the hidden
//   ListBox2 beside it (line N is picture N's comment); every list operation
//   changes both.
// - Controls that show one option on several pages are kept in step by their
//   click handlers (the mirror chains); text typed into an edit is not copied.
// - ApplyOptionRules enables the controls that depend on other options; the
//   handlers of those options call it, and the poll (Timer1Timer, from two
//   500 ms timers) runs it too, after applying a changed language.
// - BitBtn2Click runs a whole build through OnRunBuild, which the build run
//   installs (InstallGalleryBuild), as the wizard sits below it. The Start buttons reach
//   it at once (e-mail, picture application) or through the folder chooser's
//   Ok! (web, thumbnails); Publish uses the same chooser to hand a finished
//   gallery to the uploader.

#include <functional>
#include <memory>
#include <string>

#include "builder/dialogs/FormReference.h"
#include "builder/pages/PhpGalleryParts.h"
#include "platform/controls/TBitBtn.h"
#include "platform/controls/TCheckBox.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TDialogs.h"
#include "platform/controls/TEdit.h"
#include "platform/controls/TFileControls.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TLabel.h"
#include "platform/controls/TListBox.h"
#include "platform/controls/TMenu.h"
#include "platform/controls/TPageControl.h"
#include "platform/controls/TPanel.h"
#include "platform/controls/TTimer.h"
#include "platform/controls/TTrackBar.h"
#include "platform/controls/TUpDown.h"

class TPReport;

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;
    const char* ClassName() const override { return "TForm1"; }

    // Runs a build of the chosen kind into GalleryFolder (Label2).
    void BitBtn2Click(TObject* Sender);
    // The enabling rules: the web-link field follows its switch, the slide
    // show needs linked thumbnails, the link mode needs the web kind, the
    // thumbnail fields follow the size mode, the move buttons need pictures.
    void ApplyOptionRules();
    // Applies the texts and pictures of one language ("ger" or "eng") to every
    // builder window, once per language change (LanguageApplied).
    void SetLang(const std::string& lang);
    // The poll: resets Label27's look, applies a changed language (clearing
    // the background picture and the two colours first), then the enabling
    // rules.
    void Timer1Timer(TObject* Sender);
    // Start (Image31, Image6, Image16, Image17, Image19, Image56).
    void Image31Click(TObject* Sender);
    // Publish: the uploader on a chosen gallery folder that holds "start.html".
    void Image53Click(TObject* Sender);
    // Gives the dialogs made after the wizard what they hand back to it: the
    // limits for both picture-application pages, the chosen folder of a
    // pending Start, the gallery kind, the cancel's cleared progress bar, and
    // "Sound Effects" for the button sounds.
    void ConnectDialogs();

    // Start-up and leaving (WizardFormStartAndExit.cpp).
    // Reads a settings file into "Sound Effects" and "Color Effects". A file
    // that cannot be read is reported in the standard error box and the
    // switches keep their values.
    void LoadSettings(const std::string& fileName);
    // Writes ProgramFolder + "settings.dat" from the two switches and the language.
    void WriteSettings();
    // True while a build runs; OnBuildStateChange fires when that changes.
    bool BuildInProgress() const { return FBuildsRunning > 0; }
    TNotifyEvent OnBuildStateChange;
    // Runs one build of this wizard; nothing happens while it is not assigned.
    std::function<void(TForm1&)> OnRunBuild;

    // Program-wide state the wizard holds.
    std::string ProgramFolder;  // the program's folder, ending with "/"
    bool StartPending = false;  // a Start waits for the folder chooser's Ok!
    bool ExeGalleryMode = false;
    bool PhpGallery = false;
    bool PhpViewCount = false;
    bool PhpVoting = false;
    bool PhpPictureComments = false;
    bool PhpMailPicture = false;
    bool PhpChartViews = false;
    bool PhpChartVotes = false;
    bool PhpGalleryComments = false;
    std::unique_ptr<TPhpGalleryParts> PhpParts;

    // Menu. MainMenu2 is an unused copy of MainMenu1.
    TMainMenu* MainMenu1;
    TMenuItem* Gallery1;
    TMenuItem* Save1;
    TMenuItem* Load1;
    TMenuItem* Exit1;
    TMenuItem* AnAus1;  // Sound Effects
    TMenuItem* Color1;  // Color Effects
    TMenuItem* English1;
    TMenuItem* Deutsch1;
    TMenuItem* BackToAssist1;
    // The picture list's pop-up: the editor's four tools.
    TMenuItem* Rotation1;
    TMenuItem* Brightness1;
    TMenuItem* Contrast1;
    TMenuItem* Colors1;

    TTimer* Timer1;
    TTimer* Timer2;

    // Pages, each with its page picture and frames (shapes) around its groups.
    TPageControl* PageControl1;
    TTabSheet* TabSheet1;  // pictures
    TTabSheet* TabSheet2;  // web gallery
    TTabSheet* TabSheet4;  // extra texts
    TTabSheet* TabSheet5;  // e-mail gallery
    TTabSheet* TabSheet6;  // thumbnails
    TTabSheet* TabSheet7;  // picture application (EXE)
    TTabSheet* TabSheet8;  // PDF gallery
    TTabSheet* TabSheet9;  // instructions
    TImage* Image1;   // gallery page picture
    TImage* Image2;   // pictures page picture
    TImage* Image5;   // extra-texts page picture
    TImage* Image8;   // e-mail page picture
    TImage* Image18;  // thumbnails page picture
    TImage* Image20;  // EXE page picture
    TImage* Image57;  // PDF page picture
    TImage* Image58;  // instructions picture
    TShape* Shape1;
    TShape* Shape2;
    TShape* Shape3;
    TShape* Shape4;
    TShape* Shape5;
    TShape* Shape6;
    TShape* Shape7;
    TShape* Shape8;
    TShape* Shape9;
    TShape* Shape10;
    TShape* Shape11;
    TShape* Shape12;
    TShape* Shape13;
    TShape* Shape14;
    TPanel* Panel2;  // EXE page
    TPanel* Panel3;  // PDF page
    // The Start button of each page but the pictures page (Image31: gallery).
    TImage* Image6;   // extra texts
    TImage* Image16;  // e-mail
    TImage* Image17;  // thumbnails
    TImage* Image19;  // EXE
    TImage* Image56;  // PDF
    TImage* Image53;  // publish
    TImage* Image51;  // meta tags
    // The editor's working pictures: the picture as loaded, and the start of an edit.
    TImage* Image54;
    TImage* Image55;

    // Picture list.
    TListBox* ListBox1;  // PictureList
    TListBox* ListBox2;  // CommentList
    TImage* Image3;      // preview
    TImage* Image7;      // the neutral preview picture
    TImage* Image52;     // an empty picture
    TEdit* Edit10;       // comment of the selected picture
    TImage* Image25;     // add
    TImage* Image26;     // delete
    TImage* Image27;     // clear
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn3;
    TBitBtn* BitBtn4;
    TBitBtn* BitBtn6;   // up
    TBitBtn* BitBtn12;  // down
    TLabel* Label52;    // edit picture
    TPopupMenu* PopupMenu1;
    TOpenPictureDialog* OpenPictureDialog1;

    // Kind, folder, start and progress.
    TRadioButton* RadioButton3;   // web gallery
    TRadioButton* RadioButton4;   // e-mail gallery
    TRadioButton* RadioButton5;   // thumbnails only
    TRadioButton* RadioButton10;  // picture application
    TLabel* Label2;               // GalleryFolder, ending with "/"
    TImage* Image31;              // start
    TBitBtn* BitBtn2;
    TProgressBar* ProgressBar1;
    TProgressBar* ProgressBar2;
    TProgressBar* ProgressBar3;
    TProgressBar* ProgressBar4;
    TProgressBar* ProgressBar5;
    TFileListBox* FileListBox1;  // "*.gif;*.jpg"
    TSaveDialog* SaveDialog2;
    TPReport* PReport1;
    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;  // project files
    TOpenDialog* OpenDialog2;  // project files
    TCheckBox* CheckBox1;      // stored in project files only

    // Web gallery page.
    TRadioButton* RadioButton1;  // thumbnails in percent
    TRadioButton* RadioButton2;  // thumbnails of a fixed size
    TEdit* Edit1;                // ThumbPercent
    TUpDown* UpDown1;
    TEdit* Edit2;                // ThumbHeight
    TUpDown* UpDown2;
    TEdit* Edit3;                // ThumbWidth
    TUpDown* UpDown3;
    TEdit* Edit4;                // GalleryHeading
    TEdit* Edit5;                // PicturesPerRow
    TUpDown* UpDown4;
    TEdit* Edit6;                // RowsPerPage
    TUpDown* UpDown5;
    TComboBox* ComboBox1;        // LinkMode
    TCheckBox* CheckBox7;        // SlideShow
    TLabel* Label24;
    TEdit* Edit8;                // SlideShowSeconds
    TUpDown* UpDown6;
    TCheckBox* CheckBox3;        // ShowPictureInfos
    TCheckBox* CheckBox8;        // OpenInNewWindow
    TCheckBox* CheckBox10;       // LinkToWebpage
    TEdit* Edit9;                // LinkUrl
    TCheckBox* CheckBox9;        // InternetOptimize
    TLabel* Label27;             // opens the limits dialog
    TCheckBox* CheckBox11;       // CommentsInGallery
    TCheckBox* CheckBox12;       // CommentsOnFullPages
    TCheckBox* CheckBox14;       // StartWatermarkPlugin
    TCheckBox* CheckBox15;       // WatermarkFullPictures
    TCheckBox* CheckBox16;       // WatermarkThumbnails
    TImage* Image21;             // fonts and colours
    TImage* Image22;             // background picture
    TImage* Image23;             // copyright note

    // Extra texts page.
    TMemo* Memo3;          // TextAboveHeading
    TMemo* Memo4;          // TextBelowHeading
    TMemo* Memo5;          // TextBelowGallery
    TCheckBox* CheckBox4;  // TextsOnIndex
    TCheckBox* CheckBox5;  // TextsOnGalleryPages
    TCheckBox* CheckBox6;  // TextsOnFullPages
    TImage* Image28;
    TImage* Image29;
    TImage* Image30;

    // E-mail page.
    TRadioButton* RadioButton6;
    TRadioButton* RadioButton7;
    TEdit* Edit11;
    TUpDown* UpDown7;
    TEdit* Edit12;
    TUpDown* UpDown8;
    TEdit* Edit13;
    TUpDown* UpDown9;
    TEdit* Edit14;  // the e-mail's heading
    TEdit* Edit15;  // pictures per row of the e-mail
    TUpDown* UpDown10;
    TCheckBox* CheckBox2;  // CommentsInEmail
    TImage* Image15;

    // Thumbnails page.
    TRadioButton* RadioButton8;
    TRadioButton* RadioButton9;
    TEdit* Edit16;
    TUpDown* UpDown11;
    TEdit* Edit17;
    TUpDown* UpDown12;
    TEdit* Edit18;
    TUpDown* UpDown13;
    TCheckBox* CheckBox13;  // KeepOriginalNames

    // Picture application (EXE) page.
    TRadioButton* RadioButton11;  // optimise
    TRadioButton* RadioButton12;  // do not optimise
    TEdit* Edit19;
    TEdit* Edit20;
    TEdit* Edit21;
    TMemo* Memo2;  // ViewerNotes
    TLabel* Label51;
    TLabel* Label54;

    // PDF page.
    TRadioButton* RadioButton13;  // optimise
    TRadioButton* RadioButton14;  // do not optimise
    TEdit* Edit22;
    TEdit* Edit23;
    TEdit* Edit24;
    TEdit* Edit25;  // PdfAuthor
    TEdit* Edit26;  // PdfTitle
    TEdit* Edit27;  // PdfDate
    TLabel* Label58;

private:
    friend class TBuildInProgress;

    void FormCreate(TObject* Sender);

    // Start-up, menu and leaving (WizardFormStartAndExit.cpp).
    void AddStartAndExitHandlers(THandlerTable& handlers);
    void StartUp();
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Save1Click(TObject* Sender);
    void Load1Click(TObject* Sender);
    // Project files (WizardFormProject.cpp). False when nothing was saved.
    bool SaveProject();
    void LoadProject();
    void Exit1Click(TObject* Sender);
    // Set by FormClose when the wizard really closes.
    bool FCloseAccepted = false;
    void AnAus1Click(TObject* Sender);
    void Color1Click(TObject* Sender);
    void English1Click(TObject* Sender);
    void Deutsch1Click(TObject* Sender);
    void BackToAssist1Click(TObject* Sender);
    void SetBuildsRunning(int count);
    int FBuildsRunning = 0;
    void OptionChanged(TObject* Sender);

    // Picture list (WizardFormPictureList.cpp).
    void ListBox1Click(TObject* Sender);
    void Edit10KeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    void Image25Click(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
    void Image26Click(TObject* Sender);
    void BitBtn3Click(TObject* Sender);
    void Image27Click(TObject* Sender);
    void BitBtn4Click(TObject* Sender);
    void BitBtn6Click(TObject* Sender);
    void BitBtn12Click(TObject* Sender);
    void Label52Click(TObject* Sender);
    // The four items of "Edit Picture..".
    void EditPictureItemClick(TObject* Sender);
    // The editor's preview, base and start pictures from the preview Image3;
    // false when it shows no picture.
    bool PrepareEditorPictures();
    // Loads the selected entry into the preview Image3; false (after the
    // message) when the file cannot be loaded.
    bool ShowSelectedPicture();

    // Mirror chains (WizardFormMirrors.cpp).
    void RadioButton1Click(TObject* Sender);
    void RadioButton6Click(TObject* Sender);
    void RadioButton2Click(TObject* Sender);
    void RadioButton7Click(TObject* Sender);
    void UpDown1Click(TObject* Sender, TUDBtnType Button);
    void UpDown7Click(TObject* Sender, TUDBtnType Button);
    void UpDown11Click(TObject* Sender, TUDBtnType Button);
    void UpDown2Click(TObject* Sender, TUDBtnType Button);
    void UpDown3Click(TObject* Sender, TUDBtnType Button);
    void HeightMirrorClick(TObject* Sender, TUDBtnType Button);
    void WidthMirrorClick(TObject* Sender, TUDBtnType Button);
    void UpDown4Click(TObject* Sender, TUDBtnType Button);
    void UpDown10Click(TObject* Sender, TUDBtnType Button);
    void RadioButton11Click(TObject* Sender);
    void RadioButton12Click(TObject* Sender);

    // Poll companions (WizardFormPoll.cpp).
    void PageControl1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void PageControl1Change(TObject* Sender);

    // Hover effects (WizardFormHover.cpp).
    void GalleryFrameMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Shape1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image18MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void TextFrameMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Shape4MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image2MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void MailFrameMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image8MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Shape12MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image20MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void LinkLabelMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image3MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Panel3MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    bool ColorEffects() const;

    // Dialog openers.
    void Image15Click(TObject* Sender);
    void Image51Click(TObject* Sender);
    // Also Label51's and Label58's: all three open the limits dialog.
    void Label27Click(TObject* Sender);
    void Image21Click(TObject* Sender);
    void Image22Click(TObject* Sender);
    void Image23Click(TObject* Sender);
    void Image28Click(TObject* Sender);
    void Image29Click(TObject* Sender);
    void Image30Click(TObject* Sender);
    void Label54Click(TObject* Sender);
    void LoadTextInto(TMemo& memo);
};

extern TForm1* WizardForm;
