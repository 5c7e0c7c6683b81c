#pragma once

// One build run of the wizard, from its picture list and options to a
// finished gallery folder: the preparation, the loop over the pictures (one
// round each, with a hand-over to the message loop after every round so that
// the build-cancel window can stop it) and the end of the run.
//
// Every kind is built: the web (HTML) gallery and thumbnails only into the
// gallery folder, the e-mail gallery into the program's "OutMail" folder for
// the mail program, and the picture application either as an EXE gallery (a
// copy of the viewer with the pictures appended, written where the save
// dialog says) or as the PDF converter's work files in "PDFIMAGES". The PHP
// additions come from the wizard's PhpParts; a PHP gallery without its parts
// is refused with a message before anything is written.
//
// The page texts are taken from the wizard once, when the build starts, so
// every page of one build reads alike; the switches and the copyright note of
// the picture work are read for each picture when it is handed to a worker.
//
// Sound behaviour where a plain reading would fail:
// - the layout numbers, thumbnail sizes and (internet-optimised web builds)
//   the size limits are checked before anything is written; a field outside
//   its range gets a message naming it and the build does not start;
// - a picture that cannot be loaded gets one message and is skipped; its
//   number and its place in the page grid stay, as the index says, and no
//   page links it: the frame menus and the full-picture pages written before
//   the skip are written again at the end, stepping over it;
// - the gallery folder is made before the background picture is saved in it;
// - thumbnail sides are at least one pixel, and a thumbnail kept under its
//   picture's own name never replaces that picture;
// - an EXE gallery whose notes or comments hold a text of the block's own
//   markers is refused before anything is written, and the viewer's program
//   file is never replaced by a gallery;
// - the two work folders are made when they are missing, and a mail program or
//   PDF converter that cannot be started is named in a message; the work
//   files stay;
// - whatever ends the run, an error included, the page control and the start
//   image are enabled again and the build-cancel and progress windows hidden;
//   the error itself goes on to the caller.
//
// The picture work (decoding, shrinking, the quality search, encoding) runs
// ahead on worker threads (PictureWork.h); everything else stays on the main
// thread, in the one-by-one order: each round's progress, messages, pages,
// compress-progress window with its hand-overs, and files, the files written
// by the main thread in list order. What a worker needs is read when its
// picture is handed over (PictureJob), from controls that are disabled while
// the build runs (the page control holds every option and the dialogs'
// openers) or from numbers fixed when it starts; the wizard's poll, which
// still runs at each hand-over, enables controls and applies a language
// (captions, the background picture and the colours, all read at the start),
// so it changes none of them.
// At most one picture per worker is handed over and not yet gone through, so
// no more than one decoded picture per worker exists at a time; a stop drops
// the work done ahead, and a stop after picture K leaves what the one-by-one
// run leaves.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "builder/generator/BuildPicture.h"
#include "builder/generator/PictureWork.h"
#include "builder/generator/WizardOptions.h"
#include "builder/pages/GalleryGrid.h"
#include "builder/pages/GalleryPageSettings.h"

class TForm1;
class TJPEGImage;
class TGalleryDataBlock;
class TMailPage;

class TGalleryBuild {
public:
    // `workers` threads do the picture work; 0 means one per core.
    explicit TGalleryBuild(TForm1& wizard, int workers = 0);
    ~TGalleryBuild();
    TGalleryBuild(const TGalleryBuild&) = delete;
    TGalleryBuild& operator=(const TGalleryBuild&) = delete;

    // Runs the whole build; returns when it is finished, stopped or refused.
    void Run();

    TGalleryKind Kind() const { return FKind; }

private:
    bool Refused();
    bool NumbersRefused();
    bool ThumbnailNumbersRefused();
    bool UsesInternetOptimize() const;
    bool OverwriteRefused();
    bool RoadRefused();
    bool ApplicationRefused();
    void ClearMailFolder();
    void DeleteCounterFiles();
    TGalleryPageSettings PageSettings(bool hasBackground) const;
    void SetProgress(int position, int max = -1);
    void WritePage(const TPageFile& page) const;

    void BuildPictures();
    // Read on the main thread when picture `number` is handed to a worker.
    TPictureJob PictureJob(int number) const;
    // True when the round draws the copyright note into the full picture.
    bool NotesFullPicture() const;
    // The round of picture `number` with the work done for it.
    void BuildPicture(int number, TPictureOutcome& outcome);
    void ShowShrink(TPictureOutcome& outcome);
    void BuildApplicationPicture(const TPictureOutcome& outcome, int number, bool gif, const std::string& comment);
    void BuildMailPicture(const TPictureOutcome& outcome, int number, bool gif, const std::string& comment);
    void FinishExeGallery();
    void FinishPdfGallery();
    void FinishMailGallery();
    void WriteThumbnail(const TPictureOutcome& outcome, const std::string& path, int number, bool gif);
    void Finish();
    void RelinkOverSkipped();
    std::optional<int> FirstLoaded() const;
    void StartWatermarkPlugin();
    void RestoreWizard();
    void HandOver();

    TForm1& FWizard;
    int FWorkers;
    TWizardOptions FOptions;
    TGalleryKind FKind;
    std::string FFolder;
    int FPictureCount = 0;
    int FPicturesPerRow = 0;
    int FRowsPerPage = 0;
    bool FPercentThumbnails = false;
    int FThumbPercent = 0;
    int FThumbHeight = 0;
    int FThumbWidth = 0;
    int FMaxPictureHeight = 0;
    int FMaxPictureWidth = 0;
    std::int64_t FMaxPictureBytes = 0;
    TGalleryPageSettings FSettings;
    std::unique_ptr<TGalleryGrid> FGrid;
    std::vector<int> FSkipped;                // pictures that could not be loaded, ascending
    std::vector<TFullPicture> FFullPictures;  // the full-picture pages written
    int FMaxThumbWidth = 0;
    int FMaxThumbHeight = 0;

    // The picture application and the e-mail gallery.
    std::string FViewerProgram;   // the viewer's program file, for the EXE gallery
    std::string FWorkFolder;      // "PDFIMAGES/" or "OutMail/" in the program folder
    std::unique_ptr<TGalleryDataBlock> FDataBlock;  // EXE gallery only
    std::vector<std::string> FPdfPictureList;
    std::unique_ptr<TMailPage> FMailPage;
};

// Makes the wizard's start of a build run a TGalleryBuild with `workers`
// threads for the picture work (0: one per core).
void InstallGalleryBuild(TForm1& wizard, int workers = 0);
