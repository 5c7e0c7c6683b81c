// The same galleries built with one worker and with eight: every file, the
// EXE gallery's data block, the questions and messages in order, and what
// the person sees at every hand-over to the loop (the progress, the
// compress-progress window and how many files are written) must be equal,
// also for a build stopped in the middle and for lists with damaged pictures.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>

#include "gif/GIFImage.h"
#include "platform/controls/InputDriver.h"
#include "platform/graphics/TBitmap.h"
#include "platform/loop/FdWatch.h"
#include "tests/builder/road_fixture.h"

namespace buildertest {
namespace {

const std::string Viewer("\x7f" "ELF\2\1\1 a stand-in for the viewer\0\xFF", 36);

void ReplaceAll(std::string& text, const std::string& what, const std::string& with)
{
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

// A GIF of `width` x `height`, transparent where the source shows fuchsia.
void WriteGif(const std::string& path, int width, int height, bool transparent)
{
    std::unique_ptr<TBitmap> source = TestBitmap(width, height, 11, 0);
    source->SetPixel(0, height - 1, clFuchsia);
    if (transparent) {
        source->SetTransparent(true);
        source->SetTransparentColor(clFuchsia);
    }
    TGIFImage gif;
    gif.Assign(*source);
    gif.SaveToFile(path);
}

struct TRun {
    std::map<std::string, std::string> Files;
    std::vector<std::string> Asked;
    std::vector<std::string> Seen;
};

struct TKindCase {
    const char* Name;
    // Chooses the kind; returns the folder whose files are compared.
    std::function<std::string(TForm1& wizard)> Choose;
    // The questions the build asks, given how many damaged pictures it meets.
    std::function<void(THeadlessScript&, const std::string& runFolder, int damaged)> Script;
};

void PrintTo(const TKindCase& kind, std::ostream* out) { *out << kind.Name; }

class ParallelBuildTest : public RoadTest, public ::testing::WithParamInterface<TKindCase> {
public:
    ParallelBuildTest()
    {
        WriteJpeg(In.Path() + "a.jpg", 640, 480, 1);
        WriteFileBytes(In.Path() + "broken.jpg", "no JPEG here");
        WriteBmp(In.Path() + "d.bmp", 120, 90, 4);
        WriteGif(In.Path() + "clear.gif", 60, 40, true);
        WriteWmf(In.Path() + "e.wmf", 200, 150, 0x00336699);
        WriteFileBytes(In.Path() + "broken.gif", "GIF89a");
        WriteEmf(In.Path() + "f.emf", 160, 120, 0x00996633);
        WriteJpeg(In.Path() + "c.jpg", 900, 700, 3, 95, 64);
        WriteGif(In.Path() + "plain.GIF", 500, 350, false);
        WriteJpeg(In.Path() + "photo.png", 30, 30);
        WriteJpeg(In.Path() + "g.jpg", 50, 40, 5);
        WriteJpeg(In.Path() + "b.jpg", 300, 500, 2, 75);
        std::vector<std::string> names{"a.jpg", "broken.jpg", "d.bmp",     "clear.gif", "e.wmf", "broken.gif",
                                       "f.emf", "c.jpg",      "plain.GIF", "photo.png", "g.jpg", "b.jpg"};
        std::vector<std::string> paths;
        for (const std::string& name : names)
            paths.push_back(In.Path() + name);
        AddPictures(paths, {"First", " ", "Third & <last>", "", "Vier", " ", "Sieben", "8", "9", "10", "11", "12"});
        Wizard->Edit4->SetText("Parallel");
        Wizard->Edit5->SetText("2");
        Wizard->Edit6->SetText("2");
        Wizard->CheckBox3->SetChecked(true);
        Wizard->CheckBox9->SetChecked(true);
        LimitsDialog->Edit1->SetText("300");
        LimitsDialog->Edit2->SetText("400");
        LimitsDialog->Edit3->SetText("40");
        Wizard->Memo2->SetText("Notes of the gallery");
        Wizard->ExeGalleryMode = false;
    }

    // Pictures 1, 5 and 9 cannot be loaded.
    static int DamagedUpTo(int last) { return (last >= 1) + (last >= 5) + (last >= 9); }

    // One build in a program folder and gallery folder of its own, stopped
    // through the cancel window while picture `stopAt` is handled (-1: not).
    TRun Build(int workers, int stopAt)
    {
        const std::string run = Out.Path() + "run" + std::to_string(++FRuns) + "/";
        Wizard->ProgramFolder = run;
        for (const char* name : {"OutMail/VEV.exe", "PDFIMAGES/plennix.exe"}) {
            ForceDirectories(ExtractFilePath(run + name));
            WriteFileBytes(run + name, "#!/bin/sh\nexit 0\n");
        }
        ForceDirectories(run + "PictureViewer");
        WriteFileBytes(run + "PictureViewer/glimra.exe", Viewer);
        Wizard->Label2->SetCaption(run + "gallery/");
        const std::string folder = run + GetParam().Choose(*Wizard);
        InstallGalleryBuild(*Wizard, workers);
        CopyrightDialog->Edit1->SetText("(c) Parallel");

        TRun result;
        THeadlessScript script;
        GetParam().Script(script, run, DamagedUpTo(stopAt < 0 ? 11 : stopAt));
        std::string last;
        const TLoopHookId hook = AddGatherHook([&] {
            const int position = Wizard->ProgressBar2->Position();
            if (position == stopAt + 1 && BuildCancelWindow->Visible())
                InputDriver::Click(*BuildCancelWindow->BitBtn1);
            // The copyright dialog stays open beside the build: a new note
            // counts from the next picture on.
            if (position == 4)
                CopyrightDialog->Edit1->SetText("(c) Changed");
            // The timers may add peeks of their own; a state is kept once.
            const std::string seen =
                std::to_string(position) + " " + CompressProgressForm->Label2->Caption() +
                (CompressProgressForm->Visible() ? " shown " : " hidden ") +
                std::to_string(DirectoryExists(ExcludeTrailingPathDelimiter(folder))
                                   ? FindFiles(ExcludeTrailingPathDelimiter(folder), "*").size()
                                   : 0);
            if (seen != last)
                result.Seen.push_back(seen);
            last = seen;
        });
        Wizard->BitBtn2Click(Wizard->BitBtn2);
        RemoveLoopHook(hook);
        EXPECT_EQ(script.Pending(), 0u) << "a scripted question was not asked";
        for (const TQuestion& question : script.Asked()) {
            std::string text = question.Text;
            ReplaceAll(text, run, "<run>/");
            result.Asked.push_back(text);
        }
        for (const std::string& name : FindFiles(ExcludeTrailingPathDelimiter(folder), "*")) {
            std::string bytes = ReadFileBytes(folder + name);
            ReplaceAll(bytes, run, "<run>/");
            result.Files[name] = bytes;
        }
        return result;
    }

private:
    int FRuns = 0;
};

void ExpectSameRuns(const TRun& one, const TRun& eight)
{
    EXPECT_EQ(one.Asked, eight.Asked);
    EXPECT_EQ(one.Seen, eight.Seen);
    ASSERT_FALSE(one.Files.empty());
    std::vector<std::string> names, otherNames;
    for (const auto& [name, bytes] : one.Files)
        names.push_back(name);
    for (const auto& [name, bytes] : eight.Files)
        otherNames.push_back(name);
    ASSERT_EQ(names, otherNames);
    for (const auto& [name, bytes] : one.Files)
        EXPECT_TRUE(bytes == eight.Files.at(name)) << name << " differs";
}

TEST_P(ParallelBuildTest, OneWorkerAndEightBuildTheSameGallery)
{
    const TRun one = Build(1, -1);
    const TRun eight = Build(8, -1);
    ExpectSameRuns(one, eight);
    EXPECT_GE(std::count(one.Asked.begin(), one.Asked.end(), "file format not found"), 3);
    // The kinds that shrink show the quality search step by step.
    const std::string kind = GetParam().Name;
    if (kind == "web" || kind == "nolink" || kind == "exe" || kind == "pdf") {
        const auto searchShown = [](const std::string& s) { return s.find("Compress 95% shown") != std::string::npos; };
        EXPECT_TRUE(std::any_of(one.Seen.begin(), one.Seen.end(), searchShown));
    }
}

TEST_P(ParallelBuildTest, AStopInTheMiddleLeavesTheSameGallery)
{
    const TRun whole = Build(8, -1);
    const TRun one = Build(1, 6);
    const TRun eight = Build(8, 6);
    ExpectSameRuns(one, eight);
    EXPECT_EQ(std::count(eight.Asked.begin(), eight.Asked.end(), "file format not found"), 2);
    // Nothing of the pictures after the stop, for which work was done ahead.
    for (const auto& [name, bytes] : eight.Files)
        for (const char* later : {"th_7", "th_8", "th_10", "th_11", "7.jpg", "8.gif", "11.jpg"})
            EXPECT_NE(name.rfind(later, 0), 0u) << name;
    const auto bytes = [](const TRun& run) {
        std::size_t sum = 0;
        for (const auto& [name, content] : run.Files)
            sum += content.size();
        return sum;
    };
    EXPECT_LT(bytes(eight), bytes(whole));
}

void AnswerDamaged(THeadlessScript& script, int damaged)
{
    for (int i = 0; i < damaged; ++i)
        script.AnswerMessage(IDOK, "file format not found");
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, ParallelBuildTest,
    ::testing::Values(
        TKindCase{"web",
                  [](TForm1&) { return std::string("gallery/"); },
                  [](THeadlessScript& s, const std::string&, int damaged) {
                      AnswerDamaged(s, damaged);
                      s.AnswerModal("GalleryDoneDialog", mrCancel);
                  }},
        TKindCase{"nolink",
                  [](TForm1& w) {
                      w.ComboBox1->SetItemIndex(1);
                      w.RadioButton1->SetChecked(true);
                      w.Edit1->SetText("15");
                      return std::string("gallery/");
                  },
                  [](THeadlessScript& s, const std::string&, int damaged) {
                      AnswerDamaged(s, damaged);
                      s.AnswerModal("GalleryDoneDialog", mrCancel);
                  }},
        TKindCase{"thumbnails",
                  [](TForm1& w) {
                      w.RadioButton5->SetChecked(true);
                      w.Edit2->SetText("70");
                      w.Edit3->SetText("90");
                      return std::string("gallery/");
                  },
                  [](THeadlessScript& s, const std::string&, int damaged) { AnswerDamaged(s, damaged); }},
        TKindCase{"mail",
                  [](TForm1& w) {
                      w.RadioButton4->SetChecked(true);
                      return std::string("OutMail/");
                  },
                  [](THeadlessScript& s, const std::string&, int damaged) { AnswerDamaged(s, damaged); }},
        TKindCase{"exe",
                  [](TForm1& w) {
                      w.RadioButton10->SetChecked(true);
                      w.ExeGalleryMode = true;
                      return std::string("exe/");
                  },
                  [](THeadlessScript& s, const std::string& run, int damaged) {
                      AnswerDamaged(s, damaged);
                      ForceDirectories(run + "exe");
                      s.AnswerSave(run + "exe/gallery");
                      s.AnswerMessage(IDOK, "Complete! To run the application choose: ");
                      s.AnswerMessage(IDOK, "Complete!");
                  }},
        TKindCase{"pdf",
                  [](TForm1& w) {
                      w.RadioButton10->SetChecked(true);
                      return std::string("PDFIMAGES/");
                  },
                  [](THeadlessScript& s, const std::string&, int damaged) { AnswerDamaged(s, damaged); }}),
    [](const ::testing::TestParamInfo<TKindCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace buildertest
