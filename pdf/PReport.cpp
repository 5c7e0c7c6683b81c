#include "pdf/PReport.h"

#include <cmath>

#include "pdf/PdfFonts.h"
#include "pdf/PdfImages.h"
#include "platform/controls/Properties.h"

namespace {

const std::vector<const char*> PageModeNames = {"pmUseNone", "pmUseOutlines", "pmUseThumbs", "pmFullScreen"};

[[noreturn]] void RefuseParent(const TWinControl* parent, const char* message)
{
    throw Exception(std::string(message) + parent->ClassName());
}

}  // namespace

// ---- TPReport ----

TPReport::TPReport(TComponent* AOwner) : TAbstractPReport(AOwner), FCreationDate(Now()) {}

TPReport::~TPReport() = default;

void TPReport::CheckClosed(const char* operation) const
{
    if (FDoc)
        throw EPdfInvalidOperation(std::string(operation) + " --invalid operation.");
}

void TPReport::SetAuthor(const std::string& value)
{
    CheckClosed("SetAuthor");
    FAuthor = value;
}

void TPReport::SetCreationDate(TDateTime value)
{
    CheckClosed("SetCreationDate");
    FCreationDate = value;
}

void TPReport::SetCreator(const std::string& value)
{
    CheckClosed("SetCreator");
    FCreator = value;
}

void TPReport::SetKeywords(const std::string& value)
{
    CheckClosed("SetKeyWords");
    FKeywords = value;
}

void TPReport::SetModDate(TDateTime value)
{
    CheckClosed("SetModDate");
    FModDate = value;
}

void TPReport::SetSubject(const std::string& value)
{
    CheckClosed("SetSubject");
    FSubject = value;
}

void TPReport::SetTitle(const std::string& value)
{
    CheckClosed("SetTitle");
    FTitle = value;
}

void TPReport::SetPageLayout(TPdfPageLayout value)
{
    CheckClosed("SetPageLayout");
    FPageLayout = value;
}

void TPReport::SetPageMode(TPdfPageMode value)
{
    CheckClosed("SetPageMode");
    FPageMode = value;
}

void TPReport::SetNonFullScreenPageMode(TPdfPageMode value)
{
    CheckClosed("SetNonFullScreenPageMode");
    FNonFullScreenPageMode = value == pmFullScreen ? pmUseNone : value;
}

void TPReport::SetUseOutlines(bool value)
{
    CheckClosed("SetUseOutlines");
    FUseOutlines = value;
}

void TPReport::SetViewerPreference(TPdfViewerPreferences value)
{
    CheckClosed("SetViewerPreference");
    FViewerPreference = value;
}

const TPropertyTable& TPReport::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::PropertyTable());
        t.String<TPReport>("FileName", &TPReport::FileName, &TPReport::SetFileName);
        t.String<TPReport>("Author", &TPReport::Author, &TPReport::SetAuthor);
        t.DateTime<TPReport>("CreationDate", &TPReport::CreationDate, &TPReport::SetCreationDate);
        t.String<TPReport>("Creator", &TPReport::Creator, &TPReport::SetCreator);
        t.String<TPReport>("Keywords", &TPReport::Keywords, &TPReport::SetKeywords);
        t.DateTime<TPReport>("ModDate", &TPReport::ModDate, &TPReport::SetModDate);
        t.String<TPReport>("Subject", &TPReport::Subject, &TPReport::SetSubject);
        t.String<TPReport>("Title", &TPReport::Title, &TPReport::SetTitle);
        t.Enum<TPReport, TPdfPageLayout>("PageLayout", &TPReport::PageLayout, &TPReport::SetPageLayout,
                                         {"plSinglePage", "plOneColumn", "plTwoColumnLeft", "plTwoColumnRight"});
        t.Enum<TPReport, TPdfPageMode>("PageMode", &TPReport::PageMode, &TPReport::SetPageMode, PageModeNames);
        t.Enum<TPReport, TPdfPageMode>("NonFullScreenPageMode", &TPReport::NonFullScreenPageMode,
                                       &TPReport::SetNonFullScreenPageMode, PageModeNames);
        t.Enum<TPReport, TPdfCompressionMethod>("CompressionMethod", &TPReport::CompressionMethod,
                                                &TPReport::SetCompressionMethod, {"cmNone"});
        t.Bool<TPReport>("UseOutlines", &TPReport::UseOutlines, &TPReport::SetUseOutlines);
        t.Set<TPReport, TPdfViewerPreferences>(
            "ViewerPreference", &TPReport::ViewerPreference, &TPReport::SetViewerPreference,
            {"vpHideToolbar", "vpHideMenubar", "vpHideWindowUI", "vpFitWindow", "vpCenterWindow"});
        return t;
    }();
    return table;
}

// ---- TPRPage ----

TPRPage::TPRPage(TComponent* AOwner) : TPanel(AOwner)
{
    SetBounds(Left(), Top(), TPdfDoc::DefaultPageWidth, TPdfDoc::DefaultPageHeight);
    RegisterPdfFonts();
    FDoc.NewDoc();
    FDoc.AddPage();
    FDoc.Canvas().SetIsVirtual(true);
}

TPRPage::~TPRPage() = default;

void TPRPage::SetMargin(int& margin, int value)
{
    if (value == margin || value < 0 || value >= Width() / 2)
        return;
    margin = value;
    Realign();
}

void TPRPage::AlignControls(TRect& rect)
{
    rect = Rect(rect.Left + FMarginLeft, rect.Top + FMarginTop, rect.Right - FMarginRight, rect.Bottom - FMarginBottom);
    TWinControl::AlignControls(rect);
}

void TPRPage::PaintWindow(TCanvas& canvas)
{
    TPanel::PaintWindow(canvas);
    canvas.Brush().SetColor(clWhite);
    canvas.FillRect(ClientRect());
}

const TPropertyTable& TPRPage::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TPanel::PropertyTable());
        t.Int<TPRPage>("MarginTop", &TPRPage::MarginTop, &TPRPage::SetMarginTop);
        t.Int<TPRPage>("MarginLeft", &TPRPage::MarginLeft, &TPRPage::SetMarginLeft);
        t.Int<TPRPage>("MarginRight", &TPRPage::MarginRight, &TPRPage::SetMarginRight);
        t.Int<TPRPage>("MarginBottom", &TPRPage::MarginBottom, &TPRPage::SetMarginBottom);
        t.EventHandler<TPRPage, TPRPrintPageEvent>("OnPrintPage", &TPRPage::OnPrintPage);
        return t;
    }();
    return table;
}

// ---- panels ----

TPRPanel::TPRPanel(TComponent* AOwner) : TPanel(AOwner)
{
    SetHeight(100);
    SetBevelOuter(bvNone);
    SetColor(clWindow);
    SetBorderWidth(0);
}

void TPRPanel::PaintWindow(TCanvas& canvas)
{
    canvas.Brush().SetColor(clWindow);
    canvas.FillRect(ClientRect());
}

void TPRPanel::Print(TPRCanvas& ACanvas, TRect Rect)
{
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* child = Controls(i);
        const TRect bounds = Bounds(child->Left() + Rect.Left, child->Top() + Rect.Top, child->Width(), child->Height());
        if (auto* panel = dynamic_cast<TPRPanel*>(child))
            panel->Print(ACanvas, bounds);
        else if (auto* item = dynamic_cast<TPRItem*>(child); item && item->Printable())
            item->Print(ACanvas, bounds);
    }
}

const TPropertyTable& TPRPanel::PropertyTable()
{
    static const TPropertyTable table(&TPanel::PropertyTable());
    return table;
}

void TPRLayoutPanel::SetParent(TWinControl* parent)
{
    if (auto* grid = dynamic_cast<TPRGridPanel*>(parent)) {
        TPRPanel::SetParent(&grid->ChildPanel());
        return;
    }
    if (parent && !dynamic_cast<TPRPanel*>(parent) && !dynamic_cast<TPRPage*>(parent))
        RefuseParent(parent, "TPRPage can not set on ");
    TPRPanel::SetParent(parent);
}

void TPRLayoutPanel::Print(TPRCanvas& ACanvas, TRect Rect)
{
    if (BeforePrint)
        BeforePrint(this, ACanvas, Rect);
    TPRPanel::Print(ACanvas, Rect);
    if (AfterPrint)
        AfterPrint(this, ACanvas, Rect);
}

const TPropertyTable& TPRLayoutPanel::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TPRPanel::PropertyTable());
        t.EventHandler<TPRLayoutPanel, TPRPrintPanelEvent>("BeforePrint", &TPRLayoutPanel::BeforePrint);
        t.EventHandler<TPRLayoutPanel, TPRPrintPanelEvent>("AfterPrint", &TPRLayoutPanel::AfterPrint);
        return t;
    }();
    return table;
}

TPRGridPanel::TPRGridPanel(TComponent* AOwner) : TPRPanel(AOwner), FChildPanel(new TPRChildPanel(this))
{
    FChildPanel->TPRPanel::SetParent(this);
    FChildPanel->SetAlign(alClient);
}

TComponent& TPRGridPanel::ChildParent() { return *FChildPanel; }

void TPRGridPanel::SetParent(TWinControl* parent)
{
    if (parent && !dynamic_cast<TPRPanel*>(parent) && !dynamic_cast<TPRPage*>(parent))
        RefuseParent(parent, "TPRPage can not set on ");
    TPRPanel::SetParent(parent);
}

void TPRGridPanel::SetColCount(int value)
{
    if (value == FColCount)
        return;
    if (value <= 0 || Width() / value < 10)
        throw Exception("invalid colcount");
    FColCount = value;
    Realign();
    Invalidate();
}

void TPRGridPanel::SetRowCount(int value)
{
    if (value == FRowCount)
        return;
    if (value <= 0 || Height() / value < 10)
        throw Exception("invalid rowcount");
    FRowCount = value;
    Realign();
    Invalidate();
}

void TPRGridPanel::AlignControls(TRect& rect)
{
    if (FColCount > 1)
        rect.Right = rect.Left + rect.Width() / FColCount;
    if (FRowCount > 1)
        rect.Bottom = rect.Top + rect.Height() / FRowCount;
    TWinControl::AlignControls(rect);
}

void TPRGridPanel::PaintWindow(TCanvas& canvas)
{
    const int width = Width();
    const int height = Height();
    if (FColCount > 1 || FRowCount > 1) {
        canvas.Brush().SetColor(static_cast<TColor>(0xEFEFEF));
        canvas.FillRect(ClientRect());
        canvas.Brush().SetColor(clWhite);
        canvas.FillRect(Rect(0, 0, width / FColCount, height / FRowCount));
    } else {
        TPRPanel::PaintWindow(canvas);
    }
    // The design grid follows the page, so the panel's place on it counts.
    int left = 0, top = 0;
    for (const TControl* c = this; c && (dynamic_cast<const TPRPanel*>(c) || dynamic_cast<const TPRPage*>(c));
         c = c->Parent()) {
        if (dynamic_cast<const TPRPage*>(c))
            break;
        left += c->Left();
        top += c->Top();
    }
    canvas.Pen().SetColor(static_cast<TColor>(0xC0C0C0));
    for (int n = 0;; ++n) {
        const int x = static_cast<int>(std::floor(n * 378 * 0.05)) - left;
        if (x >= width)
            break;
        if (x > 0) {
            canvas.Pen().SetStyle(n % 2 == 0 ? psSolid : psDot);
            canvas.MoveTo(x, 0);
            canvas.LineTo(x, height - 1);
        }
    }
    for (int n = 0;; ++n) {
        const int y = static_cast<int>(std::floor(n * 378 * 0.05)) - top;
        if (y >= height)
            break;
        if (y > 0) {
            canvas.Pen().SetStyle(n % 2 == 0 ? psSolid : psDot);
            canvas.MoveTo(0, y);
            canvas.LineTo(width - 1, y);
        }
    }
    canvas.Pen().SetColor(static_cast<TColor>(0xFF0000));
    canvas.Pen().SetStyle(psDot);
    for (int k = 0; k <= FRowCount; ++k) {
        int y = height * k / FRowCount;
        if (y == height)
            --y;
        canvas.MoveTo(0, y);
        canvas.LineTo(width, y);
    }
    for (int k = 0; k <= FColCount; ++k) {
        int x = width * k / FColCount;
        if (x == width)
            --x;
        canvas.MoveTo(x, 0);
        canvas.LineTo(x, height);
    }
    FChildPanel->Invalidate();
}

void TPRGridPanel::Print(TPRCanvas& ACanvas, TRect Rect)
{
    if (BeforePrint)
        BeforePrint(this, ACanvas, Rect);
    const int width = Width();
    const int height = Height();
    auto printCell = [&](int col, int row) {
        const TRect cell = Bounds(Rect.Left + col * width / FColCount, Rect.Top + row * height / FRowCount,
                                  FChildPanel->Width(), FChildPanel->Height());
        if (BeforePrintChild)
            BeforePrintChild(this, ACanvas, col, row, cell);
        FChildPanel->Print(ACanvas, cell);
        if (AfterPrintChild)
            AfterPrintChild(this, ACanvas, col, row, cell);
    };
    if (FPrintDirection == pdHorz) {
        for (int row = 0; row < FRowCount; ++row)
            for (int col = 0; col < FColCount; ++col)
                printCell(col, row);
    } else {
        for (int col = 0; col < FColCount; ++col)
            for (int row = 0; row < FRowCount; ++row)
                printCell(col, row);
    }
    if (AfterPrint)
        AfterPrint(this, ACanvas, Rect);
}

const TPropertyTable& TPRGridPanel::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TPRPanel::PropertyTable());
        t.Int<TPRGridPanel>("ColCount", &TPRGridPanel::ColCount, &TPRGridPanel::SetColCount);
        t.Int<TPRGridPanel>("RowCount", &TPRGridPanel::RowCount, &TPRGridPanel::SetRowCount);
        t.Enum<TPRGridPanel, TPrintDirection>("PrintDirection", &TPRGridPanel::PrintDirection,
                                              &TPRGridPanel::SetPrintDirection, {"pdHorz", "pdVert"});
        t.EventHandler<TPRGridPanel, TPRPrintPanelEvent>("BeforePrint", &TPRGridPanel::BeforePrint);
        t.EventHandler<TPRGridPanel, TPRPrintPanelEvent>("AfterPrint", &TPRGridPanel::AfterPrint);
        t.EventHandler<TPRGridPanel, TPRPrintChildPanelEvent>("BeforePrintChild", &TPRGridPanel::BeforePrintChild);
        t.EventHandler<TPRGridPanel, TPRPrintChildPanelEvent>("AfterPrintChild", &TPRGridPanel::AfterPrintChild);
        return t;
    }();
    return table;
}

// ---- items ----

TPRItem::TPRItem(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(Left(), Top(), 100, 30); }

void TPRItem::SetParent(TWinControl* parent)
{
    if (auto* grid = dynamic_cast<TPRGridPanel*>(parent)) {
        TGraphicControl::SetParent(&grid->ChildPanel());
        return;
    }
    if (parent && !dynamic_cast<TPRPanel*>(parent))
        throw Exception("this component must set on TPRPanel");
    TGraphicControl::SetParent(parent);
}

const TPropertyTable& TPRItem::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::PropertyTable());
        t.Bool<TPRItem>("Printable", &TPRItem::Printable, &TPRItem::SetPrintable);
        return t;
    }();
    return table;
}

void RegisterPReportComponents()
{
    RegisterPdfFonts();
    RegisterPdfImageCreators();
    RegisterComponentClass<TPReport>("TPReport");
    RegisterComponentClass<TPRPage>("TPRPage");
    RegisterComponentClass<TPRPanel>("TPRPanel");
    RegisterComponentClass<TPRChildPanel>("TPRChildPanel");
    RegisterComponentClass<TPRLayoutPanel>("TPRLayoutPanel");
    RegisterComponentClass<TPRGridPanel>("TPRGridPanel");
    RegisterComponentClass<TPRItem>("TPRItem");
}
