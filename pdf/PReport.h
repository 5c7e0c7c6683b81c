#pragma once

// The report components laid out on windows: the report (document settings),
// the page (a panel the size of a PDF page with margins and a started
// document of its own), the panels that hold printable items, and the items.
// Printing walks the panels and items in child order; nothing in the
// programs starts it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "pdf/PdfDoc.h"
#include "platform/controls/TGraphicControl.h"
#include "platform/controls/TPanel.h"

enum TPdfViewerPreference { vpHideToolbar, vpHideMenubar, vpHideWindowUI, vpFitWindow, vpCenterWindow };
// A set of TPdfViewerPreference: bit 1 << value.
using TPdfViewerPreferences = std::uint8_t;
enum TPrintDirection { pdHorz, pdVert };

// What print events receive: the PDF canvas of the page being printed.
class TPRCanvas : public TObject {
public:
    TPdfCanvas* PdfCanvas() const { return FPdfCanvas; }
    void SetPdfCanvas(TPdfCanvas* canvas) { FPdfCanvas = canvas; }

private:
    TPdfCanvas* FPdfCanvas = nullptr;
};

using TPRPrintPageEvent = std::function<void(TObject* Sender, TPRCanvas& ACanvas)>;
using TPRPrintPanelEvent = std::function<void(TObject* Sender, TPRCanvas& ACanvas, TRect Rect)>;
using TPRPrintChildPanelEvent =
    std::function<void(TObject* Sender, TPRCanvas& ACanvas, int ACol, int ARow, TRect Rect)>;

class TPReport : public TAbstractPReport {
public:
    explicit TPReport(TComponent* AOwner);
    ~TPReport() override;
    const char* ClassName() const override { return "TPReport"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& value) { FFileName = value; }
    const std::string& Author() const { return FAuthor; }
    void SetAuthor(const std::string& value);
    TDateTime CreationDate() const { return FCreationDate; }
    void SetCreationDate(TDateTime value);
    const std::string& Creator() const { return FCreator; }
    void SetCreator(const std::string& value);
    const std::string& Keywords() const { return FKeywords; }
    void SetKeywords(const std::string& value);
    TDateTime ModDate() const { return FModDate; }
    void SetModDate(TDateTime value);
    const std::string& Subject() const { return FSubject; }
    void SetSubject(const std::string& value);
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& value);
    TPdfPageLayout PageLayout() const { return FPageLayout; }
    void SetPageLayout(TPdfPageLayout value);
    TPdfPageMode PageMode() const { return FPageMode; }
    void SetPageMode(TPdfPageMode value);
    TPdfPageMode NonFullScreenPageMode() const { return FNonFullScreenPageMode; }
    // A full-screen mode is no mode to leave full screen for: it is kept as pmUseNone.
    void SetNonFullScreenPageMode(TPdfPageMode value);
    TPdfCompressionMethod CompressionMethod() const { return FCompressionMethod; }
    void SetCompressionMethod(TPdfCompressionMethod value) { FCompressionMethod = value; }
    bool UseOutlines() const { return FUseOutlines; }
    void SetUseOutlines(bool value);
    TPdfViewerPreferences ViewerPreference() const { return FViewerPreference; }
    void SetViewerPreference(TPdfViewerPreferences value);

    TPRCanvas& Canvas() { return FCanvas; }
    bool DocumentOpen() const { return FDoc != nullptr; }

protected:
    // Open only while a report is produced; then the settings may not change.
    std::unique_ptr<TPdfDoc> FDoc;
    int FPageCount = 0;

private:
    void CheckClosed(const char* operation) const;

    std::string FFileName = "default.pdf";
    std::string FAuthor;
    TDateTime FCreationDate;
    std::string FCreator;
    std::string FKeywords;
    TDateTime FModDate = 0;
    std::string FSubject;
    std::string FTitle;
    TPdfPageLayout FPageLayout = plSinglePage;
    TPdfPageMode FPageMode = pmUseNone;
    TPdfPageMode FNonFullScreenPageMode = pmUseNone;
    TPdfCompressionMethod FCompressionMethod = cmNone;
    bool FUseOutlines = false;
    TPdfViewerPreferences FViewerPreference = 0;
    TPRCanvas FCanvas;
};

class TPRPage : public TPanel {
public:
    explicit TPRPage(TComponent* AOwner);
    ~TPRPage() override;
    const char* ClassName() const override { return "TPRPage"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    int MarginTop() const { return FMarginTop; }
    int MarginLeft() const { return FMarginLeft; }
    int MarginRight() const { return FMarginRight; }
    int MarginBottom() const { return FMarginBottom; }
    // Negative values, the current one and values of half the width or more are ignored.
    void SetMarginTop(int value) { SetMargin(FMarginTop, value); }
    void SetMarginLeft(int value) { SetMargin(FMarginLeft, value); }
    void SetMarginRight(int value) { SetMargin(FMarginRight, value); }
    void SetMarginBottom(int value) { SetMargin(FMarginBottom, value); }

    TPdfDoc& Doc() { return FDoc; }
    void PaintWindow(TCanvas& canvas) override;

    TPRPrintPageEvent OnPrintPage;

protected:
    void AlignControls(TRect& rect) override;

private:
    void SetMargin(int& margin, int value);

    int FMarginTop = 32;
    int FMarginLeft = 32;
    int FMarginRight = 32;
    int FMarginBottom = 32;
    TPdfDoc FDoc;
};

class TPRItem;

class TPRPanel : public TPanel {
public:
    explicit TPRPanel(TComponent* AOwner);
    const char* ClassName() const override { return "TPRPanel"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    // Prints the children in order, each at its bounds moved by the rectangle's corner.
    virtual void Print(TPRCanvas& ACanvas, TRect Rect);
    void PaintWindow(TCanvas& canvas) override;
};

class TPRChildPanel : public TPRPanel {
public:
    using TPRPanel::TPRPanel;
    const char* ClassName() const override { return "TPRChildPanel"; }
};

class TPRLayoutPanel : public TPRPanel {
public:
    using TPRPanel::TPRPanel;
    const char* ClassName() const override { return "TPRLayoutPanel"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    // On a page or a panel; on a grid it goes on the grid's cell panel.
    void SetParent(TWinControl* parent) override;
    void Print(TPRCanvas& ACanvas, TRect Rect) override;

    TPRPrintPanelEvent BeforePrint;
    TPRPrintPanelEvent AfterPrint;
};

class TPRGridPanel : public TPRPanel {
public:
    explicit TPRGridPanel(TComponent* AOwner);
    const char* ClassName() const override { return "TPRGridPanel"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    int ColCount() const { return FColCount; }
    int RowCount() const { return FRowCount; }
    // Refused (the platform's exception) below 1 or when a cell would be narrower than 10.
    void SetColCount(int value);
    void SetRowCount(int value);
    TPrintDirection PrintDirection() const { return FPrintDirection; }
    void SetPrintDirection(TPrintDirection value) { FPrintDirection = value; }
    // The panel of the first cell, which every cell prints.
    TPRChildPanel& ChildPanel() const { return *FChildPanel; }
    // Whatever a layout places on the grid goes to the child panel, and is
    // written back from there.
    TComponent& ChildParent() override;

    void SetParent(TWinControl* parent) override;
    void Print(TPRCanvas& ACanvas, TRect Rect) override;
    void PaintWindow(TCanvas& canvas) override;

    TPRPrintPanelEvent BeforePrint;
    TPRPrintPanelEvent AfterPrint;
    TPRPrintChildPanelEvent BeforePrintChild;
    TPRPrintChildPanelEvent AfterPrintChild;

protected:
    void AlignControls(TRect& rect) override;

private:
    int FColCount = 1;
    int FRowCount = 1;
    TPrintDirection FPrintDirection = pdHorz;
    TPRChildPanel* FChildPanel;  // owned as a component of this panel
};

class TPRItem : public TGraphicControl {
public:
    explicit TPRItem(TComponent* AOwner);
    const char* ClassName() const override { return "TPRItem"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    bool Printable() const { return FPrintable; }
    void SetPrintable(bool value) { FPrintable = value; }
    // Only on a panel; on a grid it goes on the grid's cell panel.
    void SetParent(TWinControl* parent) override;
    virtual void Print(TPRCanvas& ACanvas, TRect Rect) {}

private:
    bool FPrintable = true;
};

// Makes the report components known to the layout reader, and the fonts and
// image creators their documents use known by name. Call before the windows
// that hold them are made; a second call does nothing more.
void RegisterPReportComponents();
