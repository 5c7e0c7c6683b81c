// A real browser looks at built galleries: headless Chromium opens pages of a
// gallery made from JPEG, BMP, WMF and EMF files, on files only, and the test
// checks that every picture loaded and that every link of every page leads to
// a file of the gallery. Screenshots go into the build tree. Skipped when
// Chromium is not installed.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstdio>
#include <regex>
#include <set>

#include "gif/GIFImage.h"
#include "tests/support/GifPictures.h"
#include "platform/graphics/TBitmap.h"
#include "shared/veskotools.h"
#include "tests/builder/build_fixture.h"
#include "tests/support/CommandOutput.h"

using namespace buildertest;

namespace {

constexpr const char* Chromium = "/usr/bin/chromium";

// Appended to a copy of a page: when everything has loaded, the page lists
// its pictures that did not load.
constexpr const char* CheckScript = R"(<script>
window.addEventListener('load', function () {
  var bad = [];
  var images = document.images;
  for (var i = 0; i < images.length; i++)
    if (!images[i].complete || images[i].naturalWidth === 0) bad.push(images[i].getAttribute('src'));
  var out = document.createElement('pre');
  out.id = 'gallery-check';
  out.textContent = 'images=' + images.length + ' broken=[' + bad.join(',') + ']';
  document.body.appendChild(out);
});
</script>
)";

class ChromiumGalleryTest : public BuildTest {
protected:
    ChromiumGalleryTest()
    {
        AppPath(Screenshots);
        Screenshots += "chromium-screenshots/";
        ForceDirectories(Screenshots);
    }

    // Runs Chromium on a file with a fresh profile and answers its output.
    std::string RunChromium(const std::string& arguments, const std::string& file)
    {
        TempFolder profile;
        const std::string command = std::string("timeout 120 ") + Chromium +
                                    " --headless --no-sandbox --disable-gpu --disable-background-networking"
                                    " --disable-extensions --no-first-run --user-data-dir=" + profile.Path() +
                                    " --virtual-time-budget=5000 " + arguments + " 'file://" + file + "' 2>/dev/null";
        return testsupport::CommandOutput(command);
    }

    // The pictures of a page as the browser loaded them: "images=N broken=[...]".
    std::string LoadedPictures(const std::string& folder, const std::string& page)
    {
        const std::string copy = folder + "chromium-check-" + page;
        WriteFileBytes(copy, ReadFileBytes(folder + page) + CheckScript);
        const std::string dom = RunChromium("--dump-dom", copy);
        DeleteFile(copy);
        const std::smatch found = Match(dom, std::regex("images=\\d+ broken=\\[[^\\]]*\\]"));
        return found.empty() ? "no result from Chromium: " + dom.substr(0, 300) : found.str();
    }

    void Screenshot(const std::string& folder, const std::string& page, const std::string& name)
    {
        const std::string png = Screenshots + name + ".png";
        DeleteFile(png);
        RunChromium("--window-size=1024,768 --screenshot=" + png, folder + page);
        EXPECT_GT(FileSize(png), 1000) << "no screenshot of " << page;
    }

    static std::smatch Match(const std::string& text, const std::regex& pattern)
    {
        std::smatch match;
        std::regex_search(text, match, pattern);
        return match;
    }

    // Every href and src of the page names a file of the folder.
    static void ExpectLinksResolve(const std::string& folder, const std::string& page)
    {
        const std::string text = ReadFileBytes(folder + page);
        const std::regex link("(?:href|src)=([^ >\"]+)");
        int links = 0;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it) {
            const std::string target = (*it)[1].str();
            ++links;
            EXPECT_TRUE(FileExists(folder + target)) << page << " links to " << target;
        }
        EXPECT_GT(links, 0) << page;
    }

    std::string Screenshots;
};

TEST_F(ChromiumGalleryTest, WebGalleryOfEveryPictureTypeShowsWhole)
{
    if (!FileExists(Chromium))
        GTEST_SKIP() << "Chromium is not installed (" << Chromium << "); apt-get install chromium";
    WriteJpeg(In.Path() + "photo1.jpg", 640, 480, 1);
    WriteJpeg(In.Path() + "photo2.JPG", 300, 400, 2);
    WriteBmp(In.Path() + "drawing1.bmp", 200, 150, 3);
    WriteBmp(In.Path() + "drawing2.BMP", 150, 200, 4);
    WriteWmf(In.Path() + "chart1.wmf", 240, 160, RGB(200, 30, 30));
    WriteWmf(In.Path() + "chart2.WMF", 160, 240, RGB(30, 200, 30));
    WriteEmf(In.Path() + "plan1.emf", 240, 160, RGB(30, 30, 200));
    WriteEmf(In.Path() + "plan2.EMF", 200, 200, RGB(200, 200, 30));
    for (const char* name : {"photo1.jpg", "photo2.JPG", "drawing1.bmp", "drawing2.BMP", "chart1.wmf", "chart2.WMF",
                             "plan1.emf", "plan2.EMF"})
        AddPictures({In.Path() + name}, {name});
    Wizard->Edit6->SetText("2");  // 3 x 2: two gallery pages
    Wizard->RadioButton1->SetChecked(true);
    Wizard->Edit1->SetText("30");
    Build();

    const std::vector<std::string> pages = {"start.html", "page1.html", "page2.html", "th_0_big.html",
                                            "th_7_big.html", "frame_menu.html", "frame_menu_h.html", "frame1.html",
                                            "frame2.html", "frame3.html", "frame4.html"};
    for (const std::string& page : pages) {
        SCOPED_TRACE(page);
        ExpectLinksResolve(Gallery, page);
    }
    for (int n = 0; n < 8; ++n)
        ExpectLinksResolve(Gallery, "th_" + std::to_string(n) + "_big.html");

    struct Case {
        const char* page;
        const char* loaded;
    };
    for (const Case& c : {Case{"start.html", "images=0 broken=[]"}, Case{"page1.html", "images=6 broken=[]"},
                          Case{"page2.html", "images=2 broken=[]"}, Case{"th_0_big.html", "images=1 broken=[]"},
                          Case{"th_6_big.html", "images=1 broken=[]"}, Case{"frame_menu.html", "images=8 broken=[]"}}) {
        SCOPED_TRACE(c.page);
        EXPECT_EQ(LoadedPictures(Gallery, c.page), c.loaded);
    }
    Screenshot(Gallery, "start.html", "web-start");
    Screenshot(Gallery, "page1.html", "web-page1");
    Screenshot(Gallery, "th_4_big.html", "web-full-picture");
    Screenshot(Gallery, "frame1.html", "web-frames");
}

TEST_F(ChromiumGalleryTest, ThumbnailsOfEveryPictureTypeLoad)
{
    if (!FileExists(Chromium))
        GTEST_SKIP() << "Chromium is not installed (" << Chromium << "); apt-get install chromium";
    WriteJpeg(In.Path() + "a.jpg", 400, 300, 1);
    WriteBmp(In.Path() + "b.bmp", 300, 400, 2);
    WriteWmf(In.Path() + "c.wmf", 240, 160, RGB(200, 30, 30));
    WriteEmf(In.Path() + "d.emf", 240, 160, RGB(30, 30, 200));
    AddPictures({In.Path() + "a.jpg", In.Path() + "b.bmp", In.Path() + "c.wmf", In.Path() + "d.emf"});
    Wizard->RadioButton5->SetChecked(true);
    Build(false);
    // The thumbnails kind writes no page; a page of our own shows them all.
    std::string page = "<html><body>";
    for (int n = 0; n < 4; ++n)
        page += "<img src=th_" + std::to_string(n) + ".jpg> ";
    WriteFileBytes(Gallery + "thumbnails.html", page + "</body></html>");
    EXPECT_EQ(LoadedPictures(Gallery, "thumbnails.html"), "images=4 broken=[]");
    Screenshot(Gallery, "thumbnails.html", "thumbnails");
}

TEST_F(ChromiumGalleryTest, APhotoSavedAsGifShowsTheCubesColours)
{
    if (!FileExists(Chromium))
        GTEST_SKIP() << "Chromium is not installed (" << Chromium << "); apt-get install chromium";
    TBitmap photo(120, 80, pf24bit);
    TGIFImage gif;
    gif.Assign(testsupport::PaintSmoothPhoto(photo));
    ForceDirectories(Gallery);
    gif.SaveToFile(Gallery + "photo.gif");
    WriteFileBytes(Gallery + "photo.html", "<html><body style=\"margin:0\"><img src=photo.gif></body></html>");
    EXPECT_EQ(LoadedPictures(Gallery, "photo.html"), "images=1 broken=[]");
    Screenshot(Gallery, "photo.html", "photo-gif");
    const std::string png = Screenshots + "photo-gif.png";
    const std::string rgb = Out.Path() + "photo.rgb";
    ASSERT_EQ(std::system(("convert '" + png + "' -crop 120x80+0+0 -depth 8 rgb:'" + rgb + "'").c_str()), 0);
    const std::string shown = ReadFileBytes(rgb);
    ASSERT_EQ(shown.size(), 120u * 80 * 3);
    std::shared_ptr<TBitmap> ours = gif.GetPictureBitmap();
    int off = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(&shown[(std::size_t(y) * 120 + x) * 3]);
            const TColor c = ours->Pixel(x, y);
            EXPECT_EQ(GetRValue(c) % 51 + GetGValue(c) % 51 + GetBValue(c) % 51, 0) << x << "," << y;
            if (std::abs(p[0] - GetRValue(c)) > 2 || std::abs(p[1] - GetGValue(c)) > 2 || std::abs(p[2] - GetBValue(c)) > 2)
                ++off;
        }
    EXPECT_EQ(off, 0) << "pixels where the browser shows other colours than ours";
}

}  // namespace
