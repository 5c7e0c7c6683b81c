// The language table: its rows reach the builder's windows, both languages
// switch every text back and forth, and the rows a language lacks keep the
// other language's texts.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "builder/language/Language.h"
#include "builder/language/LanguageTable.h"
#include "builder/language/LanguageTarget.h"
#include "builder/language/NavigationWords.h"
#include "platform/controls/TMenu.h"
#include "tests/builder/build_fixture.h"
#include "tests/builder/program_fixture.h"

using namespace buildertest;

namespace {

// Every text of every window the application holds: captions, texts, menu
// items and combo-box items, keyed by window and component.
std::map<std::string, std::string> AllTexts()
{
    std::map<std::string, std::string> texts;
    for (int f = 0; f < Application->ComponentCount(); ++f) {
        const auto* form = dynamic_cast<const TCustomForm*>(Application->Components(f));
        if (!form)
            continue;
        const std::string prefix = std::string(form->ClassName()) + ".";
        texts[form->ClassName()] = form->Caption();
        for (int i = 0; i < form->ComponentCount(); ++i) {
            const TComponent* c = form->Components(i);
            if (const auto* item = dynamic_cast<const TMenuItem*>(c))
                texts[prefix + c->Name()] = item->Caption();
            else if (const auto* control = dynamic_cast<const TControl*>(c))
                texts[prefix + c->Name()] = control->Text();
            if (const auto* combo = dynamic_cast<const TComboBox*>(c))
                for (int n = 0; n < combo->Items().Count(); ++n)
                    texts[prefix + c->Name() + "[" + std::to_string(n) + "]"] = combo->Items().Strings(n);
        }
    }
    const std::pair<const char*, const std::string*> words[] = {
        {"NavIndexText", &NavIndexText}, {"NavGalleryText", &NavGalleryText}, {"NavNextText", &NavNextText},
        {"NavBackText", &NavBackText},   {"NavPicturesText", &NavPicturesText},
    };
    for (const auto& [name, word] : words)
        texts[name] = *word;
    return texts;
}

// The bytes of a picture's rows, to tell two pictures apart.
std::string PixelsOf(const TImage& image)
{
    if (image.Picture().Empty())
        return {};
    TBitmap bitmap;
    bitmap.Assign(*image.Picture().Graphic());
    bitmap.SetPixelFormat(pf24bit);
    std::string pixels;
    for (int y = 0; y < bitmap.Height(); ++y)
        pixels.append(reinterpret_cast<const char*>(bitmap.ScanLine(y)), std::size_t(bitmap.Width()) * 3);
    return pixels;
}

// A window of the application by its class.
TCustomForm* FindWindow(const char* className)
{
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
        if (form && form->ClassName() == std::string_view(className))
            return form;
    }
    ADD_FAILURE() << "no window " << className;
    return nullptr;
}

// Switches the language as the wizard's poll does, and leaves the program-wide
// language and navigation words English again for the later tests.
template <class Windows>
class WithLanguage : public Windows {
protected:
    ~WithLanguage() override
    {
        Switch("eng");
        CurrentLanguage = "eng";
        LanguageApplied = false;
    }

    void Switch(const std::string& lang)
    {
        LanguageApplied = false;
        this->Wizard->SetLang(lang);
        LanguageApplied = true;
    }
};

class LanguageTest : public WithLanguage<BuildTest> {
protected:
    std::string Text(const TComponent* form, const char* name) const
    {
        return dynamic_cast<const TControl*>(form->FindComponent(name))->Text();
    }
};

TEST(LanguageRows, BothLanguagesCoverTheSameTargetsButTheirOwnDialogRows)
{
    std::map<std::string, std::set<std::string>> texts, pictures;
    for (const char* lang : {"ger", "eng"}) {
        for (const TLanguageRow& row : LanguageRows(lang)) {
            auto& kind = row.Target.find(".Image") != std::string_view::npos ? pictures : texts;
            EXPECT_TRUE(kind[lang].insert(std::string(row.Target)).second) << lang << " twice: " << row.Target;
        }
    }
    // 114 targets in both languages and three of each language alone.
    EXPECT_EQ(texts["ger"].size(), 117u);
    EXPECT_EQ(texts["eng"].size(), 117u);
    EXPECT_EQ(pictures["ger"], pictures["eng"]);
    EXPECT_EQ(pictures["ger"].size(), 10u);

    std::set<std::string> germanOnly, englishOnly;
    for (const std::string& t : texts["ger"])
        if (!texts["eng"].contains(t))
            germanOnly.insert(t);
    for (const std::string& t : texts["eng"])
        if (!texts["ger"].contains(t))
            englishOnly.insert(t);
    EXPECT_EQ(germanOnly, (std::set<std::string>{"TForm13.BitBtn1", "TForm13.BitBtn2", "TForm13.Label1"}));
    EXPECT_EQ(englishOnly, (std::set<std::string>{"TForm11.Label1", "TForm11.Label2", "TForm11.Label3"}));

    EXPECT_TRUE(LanguageRows("deu").empty());
    EXPECT_TRUE(LanguageRows("").empty());
}

// The whole program's windows, the start screen among them.
class LanguageProgramTest : public WithLanguage<BuilderProgramTest> {};

TEST_F(LanguageProgramTest, EveryRowFindsATargetThatTakesIt)
{
    for (const char* lang : {"ger", "eng"})
        for (const TLanguageRow& row : LanguageRows(lang))
            EXPECT_TRUE(LanguageRowFits(row)) << lang << ": " << row.Target << " " << row.From;
}

// The lines a text takes in `width` pixels, broken at blanks as a word-wrapping
// label breaks it.
int LinesNeeded(TCanvas& canvas, std::string_view text, int width)
{
    int lines = 1;
    std::string line;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string_view word = text.substr(start, end - start);
        const std::string wider = line.empty() ? std::string(word) : line + " " + std::string(word);
        if (!line.empty() && canvas.TextWidth(wider) > width) {
            ++lines;
            line = std::string(word);
        } else {
            line = wider;
        }
        start = end + 1;
    }
    return lines;
}

TEST_F(LanguageProgramTest, EveryTextFitsItsControlInBothLanguages)
{
    // Room the control itself takes from its width: the box of a check box or
    // radio button, the margins of a button, the drop-down button of a combo box.
    auto room = [](const TControl& c) {
        if (dynamic_cast<const TCheckBox*>(&c) || dynamic_cast<const TRadioButton*>(&c))
            return c.Width() - 18;
        if (dynamic_cast<const TButton*>(&c))
            return c.Width() - 8;
        if (dynamic_cast<const TComboBox*>(&c))
            return c.Width() - 22;
        return c.Width();
    };
    TBitmap scratch(1, 1, pf24bit);
    TCanvas& canvas = scratch.Canvas();
    for (const char* lang : {"ger", "eng"}) {
        Switch(lang);
        for (const TLanguageRow& row : LanguageRows(lang)) {
            const auto dot = row.Target.find('.');
            if (!row.From.empty() || dot == std::string_view::npos)
                continue;
            const std::string_view name = row.Target.substr(dot + 1, row.Target.find('[') - dot - 1);
            const auto* form = FindWindow(std::string(row.Target.substr(0, dot)).c_str());
            const auto* c = dynamic_cast<const TControl*>(form->FindComponent(std::string(name)));
            // Text boxes scroll, page tabs and menu items size themselves.
            if (!c || dynamic_cast<const TMemo*>(c) || dynamic_cast<const TTabSheet*>(c))
                continue;
            SCOPED_TRACE(std::string(lang) + " " + std::string(row.Target) + ": " + std::string(row.Text));
            canvas.Font() = c->Font();
            const auto* label = dynamic_cast<const TLabel*>(c);
            if (label && label->WordWrap())
                EXPECT_LE(LinesNeeded(canvas, row.Text, c->Width()) * canvas.TextHeight(row.Text), c->Height());
            else
                EXPECT_LE(canvas.TextWidth(row.Text), room(*c));
        }
    }
}

TEST_F(LanguageProgramTest, TheStartScreenAndThePhpDescriptionFollowTheLanguage)
{
    const std::string german = PixelsOf(*Start->Image2);
    const std::string english = PixelsOf(*Start->Image3);
    ASSERT_FALSE(german == english);
    Switch("ger");
    EXPECT_TRUE(PixelsOf(*Start->Image1) == german);
    EXPECT_EQ(Start->Caption(), "VESKO THUMBNAILS");
    EXPECT_EQ(Kind->Child<TMemo>("Memo1")->Text(), Start->Child<TMemo>("Memo14")->Text());
    EXPECT_NE(Kind->Child<TMemo>("Memo1")->Text().find("Dererivur"), std::string::npos);
    EXPECT_EQ(FindWindow("TForm20")->Child<TLabel>("Label2")->Caption(), "M\xF6" "chten Sie die PDF anzeigen?");
    EXPECT_EQ(FindWindow("TForm8")->Child<TLabel>("Label1")->Caption(), "Einstellungen sichern?");
    Switch("eng");
    EXPECT_TRUE(PixelsOf(*Start->Image1) == english);
    EXPECT_EQ(Start->Caption(), "VESKO THUMBNAILS");
    EXPECT_EQ(Kind->Child<TMemo>("Memo1")->Lines().Count(), 7);
    EXPECT_EQ(FindWindow("TForm20")->Child<TLabel>("Label2")->Caption(), "Would you like view the pdf?");
    EXPECT_EQ(FindWindow("TForm8")->Child<TLabel>("Label1")->Caption(), "Save Gallery Settings?");
}

TEST_F(LanguageTest, AFaultyRowChangesNothingAndSaysSo)
{
    const TLanguageRow faulty[] = {
        {"TForm99.Label1", "no such window"},
        {"TForm1.Label999", "no such component"},
        {"TForm1.ComboBox1[2]", "no such item"},
        {"TForm1.Label16[0]", "a label has no items"},
        {"TForm1.ComboBox1[x]", "not an item number"},
        {"TForm1.Label16", {}, "TForm1.Image41"},  // a picture into a label
        {"TForm1.Image25", "a text into an image"},
        {"TForm1.Image25", {}, "TForm1.Image999"},
        {"NoSuchWord", "neither a word nor a window"},
    };
    const auto before = AllTexts();
    for (const TLanguageRow& row : faulty) {
        SCOPED_TRACE(std::string(row.Target) + " " + std::string(row.Text));
        EXPECT_FALSE(LanguageRowFits(row));
        EXPECT_FALSE(ApplyLanguageRow(row));
    }
    EXPECT_EQ(AllTexts(), before);
}

TEST_F(LanguageTest, GermanThenEnglishGivesEachTargetItsText)
{
    Switch("ger");
    EXPECT_EQ(Wizard->TabSheet9->Caption(), "Galerie Verkn\xFCpfungen (Anleitung)");
    EXPECT_EQ(Wizard->BackToAssist1->Caption(), "Zur\xFC" "ck zum Assistenten");
    EXPECT_EQ(Wizard->ComboBox1->Items().Strings(1), "Kein Link - nur Galerie");
    EXPECT_EQ(Text(Wizard, "Label4"), "H\xF6he");
    EXPECT_EQ(Text(GalleryKindDialog, "CheckBox1"), "Dererivur");
    EXPECT_EQ(NavBackText, "Zur\xFC" "ck");
    EXPECT_EQ(Text(GalleryKindDialog, "Memo2"),
              "Erstellt eine \"normale\" klassische Bildergalerie - ohne zus\xE4tzliche Funktionen\r\n"
              "der PHP Galerie und ohne besondere Anforderungen an Ihren Server.");
    EXPECT_EQ(GalleryKindDialog->Child<TMemo>("Memo2")->Lines().Count(), 2);

    Switch("eng");
    EXPECT_EQ(Wizard->TabSheet9->Caption(), "Gallery links (instructions)");
    EXPECT_EQ(Text(Wizard, "Label15"), "Max. picture per line");
    EXPECT_EQ(Text(GalleryKindDialog, "BitBtn2"), "Chancel");
    EXPECT_EQ(Text(GalleryKindDialog, "Memo1").substr(0, 101),
              "A PHP gallery extends the functionality of your gallery by adding statistic and interactive features.");
    EXPECT_EQ(GalleryKindDialog->Child<TMemo>("Memo1")->Lines().Count(), 7);
    EXPECT_EQ(NavBackText, "Back");
}

TEST_F(LanguageTest, ARoundTripGivesTheSameTextsAgain)
{
    Switch("eng");  // as at program start
    Switch("ger");
    const auto german = AllTexts();
    Switch("eng");
    const auto english = AllTexts();
    EXPECT_NE(german, english);
    Switch("ger");
    EXPECT_EQ(AllTexts(), german);
    Switch("eng");
    EXPECT_EQ(AllTexts(), english);
}

TEST_F(LanguageTest, TargetsOfOneLanguageOnlyKeepTheOtherLanguagesTexts)
{
    Switch("ger");
    Switch("eng");
    EXPECT_EQ(Text(OverwritePrompt, "Label1"),
              "Im angegebenen Verzeichnis wurde eine Galerie gefunden. \xDC" "berschreiben?");
    EXPECT_EQ(Text(OverwritePrompt, "BitBtn1"), "Ja");
    EXPECT_EQ(Text(OverwritePrompt, "BitBtn2"), "Nein");
    EXPECT_EQ(Text(LimitsDialog, "Label1"), "MAX. Height (PIX)");
    Switch("ger");
    EXPECT_EQ(Text(LimitsDialog, "Label1"), "MAX. Height (PIX)");
    EXPECT_EQ(Text(LimitsDialog, "Label2"), "MAX. Width (PIX)");
    EXPECT_EQ(Text(LimitsDialog, "Label3"), "MAX. File Size (KB)");
}

TEST_F(LanguageTest, AnUnknownCodeOrAnAppliedLanguageChangesNothing)
{
    Wizard->ComboBox1->SetItemIndex(1);
    const auto before = AllTexts();
    for (const char* lang : {"deu", "GER", "", "en"}) {
        SCOPED_TRACE(lang);
        Switch(lang);
        EXPECT_EQ(AllTexts(), before);
        EXPECT_EQ(Wizard->ComboBox1->ItemIndex(), 1);
    }
    LanguageApplied = true;
    Wizard->SetLang("ger");
    EXPECT_EQ(AllTexts(), before);
    EXPECT_EQ(Wizard->ComboBox1->ItemIndex(), 1);
}

TEST_F(LanguageTest, EveryApplicationLinksTheThumbnailsAgain)
{
    for (const char* lang : {"ger", "eng"}) {
        SCOPED_TRACE(lang);
        Wizard->ComboBox1->SelectAsUser(1);
        ASSERT_FALSE(Wizard->CheckBox7->Enabled());
        Switch(lang);
        EXPECT_EQ(Wizard->ComboBox1->ItemIndex(), 0);
        EXPECT_EQ(Wizard->ComboBox1->Text(), Wizard->ComboBox1->Items().Strings(0));
        EXPECT_TRUE(Wizard->CheckBox7->Enabled());
        EXPECT_TRUE(Wizard->UpDown6->Enabled());
    }
}

TEST_F(LanguageTest, TheFontBoxShowsItsWordAndNoChosenFont)
{
    FontOptionsDialog->ComboBox1->SelectAsUser(0);
    ASSERT_EQ(FontOptionsDialog->ChosenFontName(), "Arial");
    Switch("ger");
    EXPECT_EQ(FontOptionsDialog->ComboBox1->Text(), "Schriftarten");
    EXPECT_EQ(FontOptionsDialog->ChosenFontName(), "");
    FontOptionsDialog->ComboBox1->SelectAsUser(13);
    Switch("eng");
    EXPECT_EQ(FontOptionsDialog->ComboBox1->Text(), "Fonts");
    EXPECT_EQ(FontOptionsDialog->ChosenFontName(), "");
}

TEST_F(LanguageTest, PictureButtonsTakeTheirLanguagesHolderPicture)
{
    struct Button {
        const char* button;
        const char* german;
        const char* english;
    };
    const Button buttons[] = {
        {"Image25", "Image41", "Image32"}, {"Image26", "Image42", "Image33"}, {"Image27", "Image43", "Image34"},
        {"Image21", "Image45", "Image36"}, {"Image22", "Image46", "Image37"}, {"Image23", "Image47", "Image38"},
        {"Image28", "Image48", "Image39"}, {"Image29", "Image48", "Image39"}, {"Image30", "Image48", "Image39"},
    };
    // Holders of sizes no two share, so each copy shows where it came from.
    int size = 1;
    for (const char* holder : {"Image41", "Image42", "Image43", "Image45", "Image46", "Image47", "Image48",
                               "Image32", "Image33", "Image34", "Image36", "Image37", "Image38", "Image39"}) {
        TBitmap bitmap(size, 2, pf24bit);
        Wizard->Child<TImage>(holder)->Picture().Assign(&bitmap);
        ++size;
    }
    for (const char* lang : {"ger", "eng", "ger"}) {
        Switch(lang);
        for (const Button& b : buttons) {
            SCOPED_TRACE(std::string(lang) + " " + b.button);
            const char* holder = std::string(lang) == "ger" ? b.german : b.english;
            EXPECT_EQ(Wizard->Child<TImage>(b.button)->Picture().Width(),
                      Wizard->Child<TImage>(holder)->Picture().Width());
        }
    }
}

TEST_F(LanguageTest, TheHoldersKeepTheButtonPicturesOfTheArt)
{
    for (const char* holder : {"Image41", "Image42", "Image43", "Image45", "Image46", "Image47", "Image48",
                               "Image32", "Image33", "Image34", "Image36", "Image37", "Image38", "Image39"}) {
        SCOPED_TRACE(holder);
        const TImage& image = *Wizard->Child<TImage>(holder);
        EXPECT_FALSE(image.Visible());
        EXPECT_EQ(image.Picture().Width(), 104);
        EXPECT_EQ(image.Picture().Height(), 28);
    }
    const std::string germanAdd = PixelsOf(*Wizard->Child<TImage>("Image41"));
    const std::string englishAdd = PixelsOf(*Wizard->Child<TImage>("Image32"));
    ASSERT_FALSE(germanAdd == englishAdd);
    Switch("ger");
    EXPECT_TRUE(PixelsOf(*Wizard->Image25) == germanAdd);
    Switch("eng");
    EXPECT_TRUE(PixelsOf(*Wizard->Image25) == englishAdd);
}

TEST_F(LanguageTest, AGermanBuildWritesTheGermanNavigationWords)
{
    AddJpegs(2);
    Wizard->Edit5->SetText("1");
    Wizard->Edit6->SetText("1");
    Switch("ger");
    Build();
    const std::string first = Read("page1.html");
    const std::string second = Read("page2.html");
    EXPECT_NE(first.find(">Weiter"), std::string::npos) << first;
    EXPECT_NE(second.find(">Zur\xFC" "ck"), std::string::npos) << second;
    EXPECT_NE(Read("th_1_big.html").find("Galerie"), std::string::npos);
    EXPECT_NE(Read("start.html").find("Bilder: 1 - 1"), std::string::npos);

    Switch("eng");
    Script.AnswerModal("OverwritePrompt", mrYes);
    Build();
    EXPECT_NE(Read("page2.html").find(">Back"), std::string::npos);
    EXPECT_EQ(Read("page2.html").find("Zur\xFC" "ck"), std::string::npos);
}

}  // namespace
