// The PDF components of the builder's windows, as their layouts store them.

#include <gtest/gtest.h>

#include "builder/dialogs/PdfPageHolderForm.h"
#include "pdf/PReport.h"
#include "tests/builder/wizard_fixture.h"

namespace buildertest {
namespace {

TEST_F(WizardTest, TheReportAndThePageHolderHaveTheirStoredValues)
{
    ASSERT_NE(Wizard->PReport1, nullptr);
    EXPECT_EQ(Wizard->PReport1->FileName(), "default.pdf");
    EXPECT_DOUBLE_EQ(Wizard->PReport1->CreationDate(), EncodeDate(2003, 2, 1) + 0.5);
    EXPECT_FALSE(Wizard->PReport1->DocumentOpen());

    TForm19 holder(nullptr);
    ASSERT_NE(holder.PRPage1, nullptr);
    ASSERT_NE(holder.PRLayoutPanel1, nullptr);
    EXPECT_FALSE(holder.Visible());
    const TPRPage& page = *holder.PRPage1;
    EXPECT_EQ(page.Width(), 373);
    EXPECT_EQ(page.Height(), 329);
    for (int margin : {page.MarginTop(), page.MarginLeft(), page.MarginRight(), page.MarginBottom()})
        EXPECT_EQ(margin, 5);
    EXPECT_EQ(holder.PRLayoutPanel1->Parent(), holder.PRPage1);
    EXPECT_EQ(holder.PRLayoutPanel1->BoundsRect(), Rect(5, 5, 368, 324)) << "filling the page within its margins";
    EXPECT_TRUE(holder.PRPage1->Doc().HasDoc());
}

}  // namespace
}  // namespace buildertest
