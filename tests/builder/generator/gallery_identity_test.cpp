// Every kind of gallery built from one fixed set of pictures and options,
// compared byte for byte (through a size and a 64-bit hash per file) with the
// record in tests/data/gallery_identity.txt. The record was taken before the
// builder's sources were rearranged; a rearrangement must not change a byte.
// GALLERY_IDENTITY_RECORD=1 rewrites the record, for a change that is meant
// to change the galleries.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/core/TStream.h"
#include "tests/builder/road_fixture.h"

namespace buildertest {
namespace {

const std::string Viewer("\x7f" "ELF\2\1\1 a stand-in for the viewer\0\xFF", 36);
const std::string RecordFile = GALLERY_SOURCE_DIR "/tests/data/gallery_identity.txt";

std::uint64_t Fnv1a(std::string_view bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

void ReplaceAll(std::string& text, const std::string& what, const std::string& with)
{
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

std::map<std::string, std::string> ReadRecord()
{
    std::map<std::string, std::string> record;
    std::ifstream in(RecordFile);
    std::string line;
    while (std::getline(in, line))
        if (const auto blank = line.find(' '); blank != std::string::npos)
            record[line.substr(0, blank)] = line.substr(blank + 1);
    return record;
}

class GalleryIdentityTest : public RoadTest {
protected:
    GalleryIdentityTest()
    {
        PutViewer(Viewer);
        PutProgram("OutMail/VEV.exe");
        PutProgram("PDFIMAGES/plennix.exe");
        WriteJpeg(In.Path() + "a.jpg", 640, 480, 1);
        WriteJpeg(In.Path() + "b.jpg", 300, 500, 2, 75);
        WriteJpeg(In.Path() + "c.jpg", 900, 700, 3, 95, 64);
        WriteBmp(In.Path() + "d.bmp", 120, 90, 4);
        WriteWmf(In.Path() + "e.wmf", 200, 150, 0x00336699);
        WriteEmf(In.Path() + "f.emf", 160, 120, 0x00996633);
        WriteJpeg(In.Path() + "g.jpg", 50, 40, 5);
        AddPictures({In.Path() + "a.jpg", In.Path() + "b.jpg", In.Path() + "c.jpg", In.Path() + "d.bmp",
                     In.Path() + "e.wmf", In.Path() + "f.emf", In.Path() + "g.jpg"},
                    {"First", " ", "Third & <last>", "", "Vier", " ", "Sieben"});
        Wizard->Edit4->SetText("Identity");
        Wizard->Edit5->SetText("2");
        Wizard->Edit6->SetText("2");
        Wizard->CheckBox7->SetChecked(true);
        Wizard->CheckBox3->SetChecked(true);
        CopyrightDialog->Edit1->SetText("(c) Identity");
        FontOptionsDialog->ComboBox1->SetItemIndex(1);
        FontOptionsDialog->Memo1->Font().SetColor(RGB(0x10, 0x20, 0x30));
        WriteJpeg(In.Path() + "back.jpg", 32, 32, 7);
        BackgroundDialog->Image1->Picture().LoadFromFile(In.Path() + "back.jpg");
        Wizard->Memo2->SetText("Notes of the gallery");
        Wizard->Edit26->SetText("Title");
        Wizard->Edit25->SetText("Author");
        Wizard->Edit27->SetText("01.02.2003");
    }

    // "kind/name size hash" of every file under `folder`, the run's own
    // temporary paths replaced by fixed words.
    void Compare(const std::string& kind, const std::string& folder)
    {
        std::vector<std::string> names = FindFiles(ExcludeTrailingPathDelimiter(folder), "*");
        std::sort(names.begin(), names.end());
        ASSERT_FALSE(names.empty()) << kind;
        std::map<std::string, std::string> got;
        for (const std::string& name : names) {
            std::string bytes = ReadFileBytes(folder + name);
            ReplaceAll(bytes, In.Path(), "<pictures>/");
            ReplaceAll(bytes, Out.Path(), "<out>/");
            ReplaceAll(bytes, Program.Path(), "<program>/");
            char hash[17];
            std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(bytes)));
            got[kind + "/" + name] = std::to_string(bytes.size()) + " " + hash;
        }
        if (std::getenv("GALLERY_IDENTITY_RECORD")) {
            std::map<std::string, std::string> record = ReadRecord();
            std::erase_if(record, [&](const auto& entry) { return entry.first.rfind(kind + "/", 0) == 0; });
            record.insert(got.begin(), got.end());
            std::ofstream out(RecordFile, std::ios::trunc);
            for (const auto& [name, value] : record)
                out << name << ' ' << value << '\n';
            return;
        }
        std::map<std::string, std::string> expected = ReadRecord();
        std::erase_if(expected, [&](const auto& entry) { return entry.first.rfind(kind + "/", 0) != 0; });
        ASSERT_FALSE(expected.empty()) << "no record of " << kind;
        EXPECT_EQ(got, expected);
    }
};

TEST_F(GalleryIdentityTest, WebGalleryLinkedWithLimits)
{
    Wizard->CheckBox9->SetChecked(true);
    LimitsDialog->Edit1->SetText("300");
    LimitsDialog->Edit2->SetText("400");
    LimitsDialog->Edit3->SetText("40");
    Wizard->CheckBox10->SetChecked(true);
    Wizard->Edit9->SetText("http://example.org/");
    Script.AnswerModal("GalleryDoneDialog", mrCancel);
    RunBuild();
    Compare("web", Gallery);
}

TEST_F(GalleryIdentityTest, WebGalleryUnlinkedInPercent)
{
    Wizard->ComboBox1->SetItemIndex(1);
    Wizard->RadioButton1->SetChecked(true);
    Wizard->Edit1->SetText("15");
    Wizard->CheckBox4->SetChecked(false);
    Wizard->CheckBox11->SetChecked(false);
    Wizard->CheckBox8->SetChecked(true);
    Script.AnswerModal("GalleryDoneDialog", mrCancel);
    RunBuild();
    Compare("nolink", Gallery);
}

TEST_F(GalleryIdentityTest, ThumbnailsOnly)
{
    Wizard->RadioButton5->SetChecked(true);
    Wizard->Edit2->SetText("70");
    Wizard->Edit3->SetText("90");
    RunBuild();
    Compare("thumbnails", Gallery);
}

TEST_F(GalleryIdentityTest, MailGallery)
{
    ChooseMail();
    Wizard->Edit5->SetText("3");
    RunBuild();
    Compare("mail", ProgramFolder() + "OutMail/");
}

TEST_F(GalleryIdentityTest, ExeGallery)
{
    ChooseExe();
    Wizard->CheckBox9->SetChecked(true);
    const std::string target = Out.Path() + "identity.exe";
    Script.AnswerSave(Out.Path() + "identity");
    Script.AnswerMessage(IDOK, "Complete! To run the application choose: " + target + "!");
    Script.AnswerMessage(IDOK, "Complete!");
    RunBuild();
    ForceDirectories(Out.Path() + "exe");
    WriteFileBytes(Out.Path() + "exe/identity.exe", ReadFileBytes(target));
    Compare("exe", Out.Path() + "exe/");
}

TEST_F(GalleryIdentityTest, PdfWorkFiles)
{
    ChoosePdf();
    RunBuild();
    DeleteFile(ProgramFolder() + "PDFIMAGES/plennix.exe");
    Compare("pdf", ProgramFolder() + "PDFIMAGES/");
}

}  // namespace
}  // namespace buildertest
