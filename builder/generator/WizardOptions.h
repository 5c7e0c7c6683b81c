#pragma once

// The gallery options by their names. The controls of the wizard are the
// option store; each accessor reads its control when it is called, so a build
// sees a change made while it runs, as the build run expects. The control
// names stay in the layouts and the wizard.

#include <string>

#include "builder/wizard/WizardForm.h"

class TWizardOptions {
public:
    explicit TWizardOptions(const TForm1& wizard) : W(wizard) {}

    bool WebKind() const { return !EmailKind() && !ThumbnailsKind() && !ApplicationKind(); }
    bool EmailKind() const { return W.RadioButton4->Checked(); }
    bool ThumbnailsKind() const { return W.RadioButton5->Checked(); }
    bool ApplicationKind() const { return W.RadioButton10->Checked(); }

    std::string GalleryFolder() const { return W.Label2->Caption(); }
    bool ThumbSizeInPercent() const { return W.RadioButton1->Checked(); }
    std::string ThumbPercent() const { return W.Edit1->Text(); }
    std::string ThumbHeight() const { return W.Edit2->Text(); }
    std::string ThumbWidth() const { return W.Edit3->Text(); }
    std::string GalleryHeading() const { return W.Edit4->Text(); }
    std::string PicturesPerRow() const { return W.Edit5->Text(); }
    std::string RowsPerPage() const { return W.Edit6->Text(); }
    bool LinkToFullPicture() const { return W.ComboBox1->ItemIndex() != 1; }
    bool SlideShow() const { return W.CheckBox7->Checked(); }
    std::string SlideShowSeconds() const { return W.Edit8->Text(); }
    bool ShowPictureInfos() const { return W.CheckBox3->Checked(); }
    bool OpenInNewWindow() const { return W.CheckBox8->Checked(); }
    bool LinkToWebpage() const { return W.CheckBox10->Checked(); }
    std::string LinkUrl() const { return W.Edit9->Text(); }
    bool InternetOptimize() const { return W.CheckBox9->Checked(); }
    std::string TextAboveHeading() const { return W.Memo3->Text(); }
    std::string TextBelowHeading() const { return W.Memo4->Text(); }
    std::string TextBelowGallery() const { return W.Memo5->Text(); }
    bool TextsOnIndex() const { return W.CheckBox4->Checked(); }
    bool TextsOnGalleryPages() const { return W.CheckBox5->Checked(); }
    bool TextsOnFullPages() const { return W.CheckBox6->Checked(); }
    bool CommentsInGallery() const { return W.CheckBox11->Checked(); }
    bool CommentsOnFullPages() const { return W.CheckBox12->Checked(); }
    bool CommentsInEmail() const { return W.CheckBox2->Checked(); }
    bool StartWatermarkPlugin() const { return W.CheckBox14->Checked(); }
    bool WatermarkFullPictures() const { return W.CheckBox15->Checked(); }
    bool WatermarkThumbnails() const { return W.CheckBox16->Checked(); }
    // Used only when the build starts from the thumbnails page.
    bool KeepOriginalNames() const
    {
        return W.PageControl1->ActivePage() == W.TabSheet6 && W.CheckBox13->Checked();
    }
    std::string ViewerNotes() const { return W.Memo2->Text(); }
    std::string PdfTitle() const { return W.Edit26->Text(); }
    std::string PdfAuthor() const { return W.Edit25->Text(); }
    std::string PdfDate() const { return W.Edit27->Text(); }

private:
    const TForm1& W;
};
