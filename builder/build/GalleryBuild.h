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
// every page of one build reads alike; the picture numbers and the switches of
// the picture work are read as each round needs them.
//
// Sound behaviour where a plain reading would fail:
// - the layout numbers, thumbnail sizes and (internet-optimised web builds)
//   the size limits are checked before anything is written; a field outside
//   its range gets a message naming it and the build does not start;
// - a picture that cannot be loaded gets one message and is skipped; its
//   number and its place in the page grid stay, as the index says;
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

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "builder/build/BuildPicture.h"
#include "builder/build/WizardOptions.h"
#include "builder/pages/GalleryGrid.h"
#include "builder/pages/GalleryPageSettings.h"

class TForm1;
class TJPEGImage;
class TGalleryDataBlock;
class TMailPage;

enum class TGalleryKind { Web, Email, Thumbnails, Application };

class TGalleryBuild {
public:
    explicit TGalleryBuild(TForm1& wizard);
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
    void BuildPicture(int number);
    std::unique_ptr<TJPEGImage> LoadPicture(const std::string& path);
    void ShrinkToLimits(TJPEGImage& picture);
    TPictureSize ThumbnailSize(const TJPEGImage& picture) const;
    TPictureSize ThumbnailSize(TPictureSize picture) const;
    void BuildApplicationPicture(TJPEGImage& picture, int number, const std::string& comment);
    void BuildMailPicture(TJPEGImage& picture, int number, const std::string& comment);
    void DrawCopyrightNoteIfSet(TJPEGImage& picture) const;
    void FinishExeGallery();
    void FinishPdfGallery();
    void FinishMailGallery();
    void WriteThumbnail(TJPEGImage& picture, const std::string& path, int number);
    // GIF pictures of web and thumbnail galleries: never recompressed, and a
    // transparent picture keeps a transparent thumbnail.
    void BuildGifPicture(const std::string& path, int number, const std::string& comment);
    void Finish();
    void StartWatermarkPlugin();
    void RestoreWizard();
    void HandOver();

    TForm1& FWizard;
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
    int FMaxThumbWidth = 0;
    int FMaxThumbHeight = 0;

    // The picture application and the e-mail gallery.
    std::string FViewerProgram;   // the viewer's program file, for the EXE gallery
    std::string FWorkFolder;      // "PDFIMAGES/" or "OutMail/" in the program folder
    std::unique_ptr<TGalleryDataBlock> FDataBlock;  // EXE gallery only
    std::vector<std::string> FPdfPictureList;
    std::unique_ptr<TMailPage> FMailPage;
};

// Makes the wizard's start of a build run a TGalleryBuild.
void InstallGalleryBuild(TForm1& wizard);
