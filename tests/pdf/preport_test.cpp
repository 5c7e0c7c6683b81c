// The report and page components: settings, margins, grid counts, parents,
// the order of printing, and their stored values.

#include <gtest/gtest.h>

#include <cmath>

#include "pdf/PReport.h"
#include "platform/controls/LayoutReader.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TCustomForm.h"
#include "platform/controls/TButton.h"
#include "tests/pdf/pdf_peers.h"

namespace pdftest {
namespace {

class PReportTest : public ::testing::Test {
protected:
    PReportTest() { RegisterPReportComponents(); }
    TApplication App;
    TForm Form{nullptr};
};

// A report that has a document open, as one being produced would.
class TOpenReport : public TPReport {
public:
    using TPReport::TPReport;
    void Open() { FDoc = std::make_unique<TPdfDoc>(); }
};

TEST_F(PReportTest, ReportSettingsStoreOnlyWhileNoDocumentIsOpen)
{
    TOpenReport report(nullptr);
    EXPECT_EQ(report.FileName(), "default.pdf");
    EXPECT_NEAR(report.CreationDate(), Now(), 1.0 / 86400 * 5);
    EXPECT_EQ(report.ModDate(), 0);
    EXPECT_FALSE(report.DocumentOpen());
    const struct {
        std::function<void()> set;
        std::function<bool()> stored;
        const char* message;
    } setters[] = {
        {[&] { report.SetAuthor("A"); }, [&] { return report.Author() == "A"; }, "SetAuthor --invalid operation."},
        {[&] { report.SetCreationDate(2); }, [&] { return report.CreationDate() == 2; }, "SetCreationDate --invalid operation."},
        {[&] { report.SetCreator("C"); }, [&] { return report.Creator() == "C"; }, "SetCreator --invalid operation."},
        {[&] { report.SetKeywords("K"); }, [&] { return report.Keywords() == "K"; }, "SetKeyWords --invalid operation."},
        {[&] { report.SetModDate(3); }, [&] { return report.ModDate() == 3; }, "SetModDate --invalid operation."},
        {[&] { report.SetSubject("S"); }, [&] { return report.Subject() == "S"; }, "SetSubject --invalid operation."},
        {[&] { report.SetTitle("T"); }, [&] { return report.Title() == "T"; }, "SetTitle --invalid operation."},
        {[&] { report.SetPageLayout(plOneColumn); }, [&] { return report.PageLayout() == plOneColumn; },
         "SetPageLayout --invalid operation."},
        {[&] { report.SetPageMode(pmUseThumbs); }, [&] { return report.PageMode() == pmUseThumbs; },
         "SetPageMode --invalid operation."},
        {[&] { report.SetNonFullScreenPageMode(pmUseOutlines); },
         [&] { return report.NonFullScreenPageMode() == pmUseOutlines; }, "SetNonFullScreenPageMode --invalid operation."},
        {[&] { report.SetUseOutlines(true); }, [&] { return report.UseOutlines(); }, "SetUseOutlines --invalid operation."},
        {[&] { report.SetViewerPreference(1 << vpFitWindow); }, [&] { return report.ViewerPreference() == 1 << vpFitWindow; },
         "SetViewerPreference --invalid operation."},
    };
    TOpenReport open(nullptr);
    open.Open();
    for (const auto& s : setters) {
        s.set();
        EXPECT_TRUE(s.stored()) << s.message;
    }
    report.SetNonFullScreenPageMode(pmFullScreen);
    EXPECT_EQ(report.NonFullScreenPageMode(), pmUseNone);

    report.Open();
    report.SetFileName("x.pdf");  // not guarded
    for (const auto& s : setters) {
        try {
            s.set();
            ADD_FAILURE() << s.message;
        } catch (const EPdfInvalidOperation& e) {
            EXPECT_STREQ(e.what(), s.message);
        }
    }
    EXPECT_EQ(report.Author(), "A") << "a refused setter changes nothing";
}

TEST_F(PReportTest, AStreamedCreationDateReplacesTheTimeOfConstruction)
{
    ReadComponentLayout(Form,
                        "object Wizard: TForm\n"
                        "  object Stored: TPReport\n"
                        "    CreationDate = '01.02.2003 12:30:15'\n"
                        "    NonFullScreenPageMode = pmFullScreen\n"
                        "    ViewerPreference = [vpHideToolbar, vpCenterWindow]\n"
                        "  end\n"
                        "  object Plain: TPReport\n"
                        "    Title = 'Trip'\n"
                        "  end\n"
                        "end\n",
                        nullptr, "wizard");
    auto* stored = dynamic_cast<TPReport*>(Form.FindComponent("Stored"));
    auto* plain = dynamic_cast<TPReport*>(Form.FindComponent("Plain"));
    ASSERT_TRUE(stored && plain);
    EXPECT_DOUBLE_EQ(stored->CreationDate(), EncodeDate(2003, 2, 1) + (12 * 3600 + 30 * 60 + 15) / 86400.0);
    EXPECT_EQ(stored->NonFullScreenPageMode(), pmUseNone);
    EXPECT_EQ(stored->ViewerPreference(), (1 << vpHideToolbar) | (1 << vpCenterWindow));
    EXPECT_NEAR(plain->CreationDate(), Now(), 1.0 / 86400 * 5);
    EXPECT_EQ(plain->Title(), "Trip");
    TForm broken(nullptr);
    EXPECT_THROW(ReadComponentLayout(broken, "object W: TForm\n  object R: TPReport\n    CreationDate = '31.02.2003'\n  end\nend\n",
                                     nullptr, "broken"),
                 ELayoutError);
}

TEST_F(PReportTest, AGridKeepsWhatALayoutPlacesOnItOnItsChildPanel)
{
    const std::string text =
        "object Holder: TForm\n"
        "  object Page: TPRPage\n"
        "    object Grid: TPRGridPanel\n"
        "      ColCount = 2\n"
        "      object Panel: TPRPanel\n"
        "        Height = 40\n"
        "        object Item: TPRItem\n"
        "        end\n"
        "      end\n"
        "      object Layout: TPRLayoutPanel\n"
        "      end\n"
        "      object Inner: TPRGridPanel\n"
        "      end\n"
        "      object Button1: TButton\n"
        "      end\n"
        "    end\n"
        "  end\n"
        "end\n";
    ReadComponentLayout(Form, text, nullptr, "holder");
    auto* grid = Form.Child<TPRGridPanel>("Grid");
    for (const char* name : {"Panel", "Layout", "Inner", "Button1"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Form.Child<TControl>(name)->Parent(), &grid->ChildPanel());
    }
    EXPECT_EQ(Form.Child<TControl>("Item")->Parent(), Form.Child<TPRPanel>("Panel"));
    EXPECT_EQ(grid->ControlCount(), 1) << "the child panel is the grid's only direct child";

    // Written with its items, and read back to the same.
    const std::string written = WriteComponentLayout(Form);
    for (const char* line : {"      object Panel: TPRPanel\n", "        object Item: TPRItem\n",
                             "      object Layout: TPRLayoutPanel\n", "      object Inner: TPRGridPanel\n"})
        EXPECT_NE(written.find(line), std::string::npos) << line << written;
    TForm copy(nullptr);
    ReadComponentLayout(copy, written, nullptr, "holder-copy");
    EXPECT_EQ(copy.Child<TControl>("Panel")->Parent(), &copy.Child<TPRGridPanel>("Grid")->ChildPanel());
    EXPECT_EQ(copy.Child<TControl>("Item")->Parent(), copy.Child<TPRPanel>("Panel"));
    EXPECT_EQ(WriteComponentLayout(copy), written);
}

TEST_F(PReportTest, APageHoldsAStartedDocumentAndItsMargins)
{
    TPRPage page(nullptr);
    EXPECT_EQ(page.Width(), 596);
    EXPECT_EQ(page.Height(), 842);
    EXPECT_EQ(page.Doc().ObjectMgr().ItemCount(), 7) << "catalogue, information, pages, page, content, font";
    EXPECT_TRUE(page.Doc().Canvas().IsVirtual());
    EXPECT_EQ(page.Doc().Canvas().ContentStream()->Stream().Bytes(), "/F0 10 Tf\n");

    const struct {
        void (TPRPage::*set)(int);
        int (TPRPage::*get)() const;
        int value, expected;
    } cases[] = {
        {&TPRPage::SetMarginBottom, &TPRPage::MarginBottom, 300, 32},
        {&TPRPage::SetMarginBottom, &TPRPage::MarginBottom, 298, 32},  // half of 596
        {&TPRPage::SetMarginBottom, &TPRPage::MarginBottom, 297, 297},
        {&TPRPage::SetMarginTop, &TPRPage::MarginTop, -1, 32},
        {&TPRPage::SetMarginTop, &TPRPage::MarginTop, 0, 0},
        {&TPRPage::SetMarginLeft, &TPRPage::MarginLeft, 297, 297},
        {&TPRPage::SetMarginRight, &TPRPage::MarginRight, 10, 10},
    };
    for (const auto& c : cases) {
        TPRPage fresh(nullptr);
        (fresh.*c.set)(c.value);
        EXPECT_EQ((fresh.*c.get)(), c.expected) << c.value;
    }

    auto* panel = new TPRLayoutPanel(&page);
    panel->SetParent(&page);
    panel->SetAlign(alClient);
    page.SetMarginLeft(10);
    page.SetMarginTop(20);
    page.SetMarginBottom(40);
    EXPECT_EQ(panel->BoundsRect(), Rect(10, 20, 596 - 32, 842 - 40)) << "children stay inside the margins";
}

TEST_F(PReportTest, GridCountsAndTheFirstCell)
{
    TPRPage page(nullptr);
    auto* grid = new TPRGridPanel(&page);
    grid->SetParent(&page);
    grid->SetBounds(0, 0, 596, 200);
    const struct {
        bool columns;
        int value;
        const char* refused;  // nullptr: accepted
    } cases[] = {
        {true, 60, "invalid colcount"}, {true, 0, "invalid colcount"}, {true, -2, "invalid colcount"},
        {true, 59, nullptr},          {false, 21, "invalid rowcount"}, {false, 20, nullptr},
    };
    for (const auto& c : cases) {
        try {
            c.columns ? grid->SetColCount(c.value) : grid->SetRowCount(c.value);
            EXPECT_EQ(c.refused, nullptr) << c.value;
        } catch (const Exception& e) {
            ASSERT_NE(c.refused, nullptr) << e.what();
            EXPECT_STREQ(e.what(), c.refused);
        }
    }
    EXPECT_EQ(grid->ColCount(), 59);
    EXPECT_EQ(grid->RowCount(), 20);
    grid->SetColCount(4);
    grid->SetRowCount(2);
    EXPECT_EQ(grid->ChildPanel().BoundsRect(), Rect(0, 0, 149, 100)) << "the child panel is the first cell";
}

TEST_F(PReportTest, ParentsThatArePlacesForTheComponents)
{
    TPRPage page(nullptr);
    auto* plainPanel = new TPRPanel(&page);
    auto* grid = new TPRGridPanel(&page);
    grid->SetParent(&page);
    const struct {
        std::function<TControl*()> make;
        TWinControl* parent;
        TWinControl* placedOn;    // nullptr: refused
        const char* refusal;
    } cases[] = {
        {[&] { return new TPRLayoutPanel(&page); }, &page, &page, nullptr},
        {[&] { return new TPRLayoutPanel(&page); }, plainPanel, plainPanel, nullptr},
        {[&] { return new TPRLayoutPanel(&page); }, grid, &grid->ChildPanel(), nullptr},
        {[&] { return new TPRLayoutPanel(&page); }, &Form, nullptr, "TPRPage can not set on TForm"},
        {[&] { return new TPRGridPanel(&page); }, grid, grid, nullptr},
        {[&] { return new TPRGridPanel(&page); }, &Form, nullptr, "TPRPage can not set on TForm"},
        {[&] { return new TPRItem(&page); }, plainPanel, plainPanel, nullptr},
        {[&] { return new TPRItem(&page); }, grid, &grid->ChildPanel(), nullptr},
        {[&] { return new TPRItem(&page); }, &page, nullptr, "this component must set on TPRPanel"},
        {[&] { return new TPRItem(&page); }, &Form, nullptr, "this component must set on TPRPanel"},
    };
    for (const auto& c : cases) {
        TControl* control = c.make();
        try {
            control->SetParent(c.parent);
            EXPECT_EQ(c.refusal, nullptr);
            EXPECT_EQ(control->Parent(), c.placedOn);
        } catch (const Exception& e) {
            ASSERT_NE(c.refusal, nullptr) << e.what();
            EXPECT_STREQ(e.what(), c.refusal);
            EXPECT_EQ(control->Parent(), nullptr) << "the parent stays as it was";
        }
        control->SetParent(nullptr);
    }
}

// An item that notes where it was printed.
class TRecordingItem : public TPRItem {
public:
    TRecordingItem(TComponent* owner, std::vector<std::string>& log) : TPRItem(owner), FLog(log) {}
    void Print(TPRCanvas&, TRect Rect) override
    {
        FLog.push_back(Name() + "@" + std::to_string(Rect.Left) + "," + std::to_string(Rect.Top));
    }

private:
    std::vector<std::string>& FLog;
};

TEST_F(PReportTest, PrintingWalksPanelsCellsAndItemsInOrder)
{
    TPRPage page(nullptr);
    std::vector<std::string> log;
    auto* layout = new TPRLayoutPanel(&page);
    layout->SetParent(&page);
    layout->SetBounds(0, 0, 400, 300);
    auto note = [&](const char* what) {
        return [&log, what](TObject*, TPRCanvas&, TRect r) {
            log.push_back(std::string(what) + "@" + std::to_string(r.Left) + "," + std::to_string(r.Top));
        };
    };
    layout->BeforePrint = note("before");
    layout->AfterPrint = note("after");
    auto* first = new TRecordingItem(&page, log);
    first->SetName("first");
    first->SetParent(layout);
    first->SetBounds(5, 6, 10, 10);
    auto* hidden = new TRecordingItem(&page, log);
    hidden->SetName("unprintable");
    hidden->SetParent(layout);
    hidden->SetPrintable(false);
    auto* grid = new TPRGridPanel(&page);
    grid->SetParent(layout);
    grid->SetBounds(100, 100, 200, 100);
    grid->SetColCount(2);
    grid->SetRowCount(2);
    auto* cellItem = new TRecordingItem(&page, log);
    cellItem->SetName("cell");
    cellItem->SetParent(grid);
    cellItem->SetBounds(1, 2, 10, 10);
    grid->BeforePrintChild = [&](TObject*, TPRCanvas&, int col, int row, TRect r) {
        log.push_back("cell" + std::to_string(col) + std::to_string(row) + "@" + std::to_string(r.Left) + "," +
                      std::to_string(r.Top) + "+" + std::to_string(r.Width()) + "x" + std::to_string(r.Height()));
    };
    TPRCanvas canvas;
    layout->Print(canvas, Rect(1000, 2000, 1400, 2300));
    EXPECT_EQ(log, (std::vector<std::string>{"before@1000,2000", "first@1005,2006",
                                             "cell00@1100,2100+100x50", "cell@1101,2102",
                                             "cell10@1200,2100+100x50", "cell@1201,2102",
                                             "cell01@1100,2150+100x50", "cell@1101,2152",
                                             "cell11@1200,2150+100x50", "cell@1201,2152", "after@1000,2000"}));
    log.clear();
    grid->SetPrintDirection(pdVert);
    grid->Print(canvas, Rect(0, 0, 200, 100));
    std::vector<std::string> cells;
    for (const std::string& line : log)
        if (line.rfind("cell", 0) == 0 && line[4] != '@')
            cells.push_back(line.substr(0, 6));
    EXPECT_EQ(cells, (std::vector<std::string>{"cell00", "cell01", "cell10", "cell11"}));
}

}  // namespace
}  // namespace pdftest
