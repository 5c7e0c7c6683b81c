// The conformance suite: every case decodes to its expected frames, compared
// within each image's own rectangle (composing whole frames is drawing's
// business), or ends as this codec ends such a file.

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "GifTestSupport.h"

namespace {

namespace fs = std::filesystem;

using TConf = std::map<std::string, std::map<std::string, std::string>>;

TConf ReadConf(const fs::path& path)
{
    TConf conf;
    std::ifstream in(path);
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        auto trim = [](std::string s) {
            s.erase(0, s.find_first_not_of(' '));
            s.erase(s.find_last_not_of(' ') + 1);
            return s;
        };
        conf[section][trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
    }
    return conf;
}

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ',');)
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

bool SomeIndexOutsideItsMap(TGIFImage& image)
{
    for (const auto& frame : image.Images()) {
        const int count = frame->ActiveColorMap().Count();
        for (std::int64_t i = 0; i < frame->DataSize(); ++i)
            if (frame->Data()[i] >= count)
                return true;
    }
    return false;
}

// The cases the suite expects no picture from, and how this codec ends them.
void ExpectRefusal(const std::string& name, TLoadResult& loaded)
{
    TGIFImage& image = *loaded.Image;
    if (name == "zero-width" || name == "zero-height" || name == "zero-size" || name == "max-size") {
        EXPECT_TRUE(image.Empty());
    } else if (name == "invalid-code" || name == "invalid-colors") {
        // Loaded as the data says; the indexes beyond the table warn when read.
        EXPECT_TRUE(SomeIndexOutsideItsMap(image));
    } else if (name == "overflow-codes" || name == "overflow-codes-max") {
        EXPECT_EQ(loaded.Warnings, std::vector<std::string>{"Invalid GIF data"});
    } else if (name == "plain-text") {
        // The text is kept with its frame; showing it is not this codec's.
        ASSERT_EQ(image.Images().Count(), 1);
        auto* text = dynamic_cast<TGIFTextExtension*>(image.Images().Items(0)->Extensions().Items(0));
        ASSERT_TRUE(text);
        EXPECT_EQ(text->Text().Items(), std::vector<std::string>{"Hello"});
    } else {
        ADD_FAILURE() << "no refusal known for " << name;
    }
}

TEST(GifSuite, EveryCaseDecodesToItsFramesOrEndsAsItMust)
{
    const fs::path suite = fs::path(TestDataDir()) / "gif-suite";
    if (!fs::exists(suite / "TESTS"))
        GTEST_SKIP() << "no conformance suite at " << suite;
    std::ifstream list(suite / "TESTS");
    int cases = 0;
    for (std::string name; std::getline(list, name);) {
        if (name.empty())
            continue;
        SCOPED_TRACE(name);
        ++cases;
        TConf conf = ReadConf(suite / (name + ".conf"));
        TLoadResult loaded = LoadGif(ReadBinaryFile(suite / conf["config"]["input"]));
        const std::vector<std::string> expected = Split(conf["config"]["frames"]);
        if (expected.empty()) {
            ExpectRefusal(name, loaded);
            continue;
        }
        // Cases where the codec's own tolerances or refusals decide.
        struct TOwnOutcome {
            const char* Name;
            const char* Error;
            std::vector<std::string> Warnings;
        };
        static const TOwnOutcome own[] = {
            // A zero side takes the screen's; the file then holds no data.
            {"image-zero-width", "", {"Image exceeds Logical Screen size", "Invalid GIF data"}},
            // Their local tables lie beyond the end of the file.
            {"image-zero-height", "Premature end of data", {"Image exceeds Logical Screen size"}},
            {"image-zero-size", "Premature end of data", {"Image exceeds Logical Screen size"}},
        };
        const auto known = std::find_if(std::begin(own), std::end(own), [&](const TOwnOutcome& o) { return name == o.Name; });
        if (known != std::end(own)) {
            EXPECT_EQ(loaded.Error, known->Error);
            EXPECT_EQ(loaded.Warnings, known->Warnings);
            continue;
        }
        EXPECT_EQ(loaded.Error, "");
        if (!loaded.Error.empty())
            continue;
        TGIFImage& image = *loaded.Image;
        const int screenWidth = std::stoi(conf["config"]["width"]);
        const int screenHeight = std::stoi(conf["config"]["height"]);
        EXPECT_EQ(image.Width(), screenWidth);
        EXPECT_EQ(image.Height(), screenHeight);
        const bool forceAnimation = conf["config"]["force-animation"] == "yes";

        // Images up to one with a delay (every image, when animation is
        // forced) make one shown frame.
        std::vector<std::vector<TGIFSubImage*>> groups(1);
        for (const auto& frame : image.Images()) {
            if (frame->Empty())
                continue;
            groups.back().push_back(frame.get());
            const TGIFGraphicControlExtension* gce = frame->GraphicControlExtension();
            if (forceAnimation || (gce && gce->Delay() > 0))
                groups.emplace_back();
        }
        if (groups.back().empty())
            groups.pop_back();
        if (groups.empty()) {
            // No image at all: the suite shows the bare, transparent screen.
            const std::string rgba = ReadBinaryFile(suite / conf[expected[0]]["pixels"]);
            for (std::size_t i = 3; i < rgba.size(); i += 4)
                EXPECT_EQ(rgba[i], 0);
            continue;
        }
        EXPECT_EQ(groups.size(), expected.size());
        if (groups.size() != expected.size())
            continue;

        for (std::size_t g = 0; g < groups.size(); ++g) {
            const std::string rgba = ReadBinaryFile(suite / conf[expected[g]]["pixels"]);
            ASSERT_EQ(rgba.size(), std::size_t(screenWidth) * std::size_t(screenHeight) * 4);
            std::vector<bool> claimed(std::size_t(screenWidth) * std::size_t(screenHeight));
            int compared = 0;
            for (auto it = groups[g].rbegin(); it != groups[g].rend(); ++it) {
                TGIFSubImage& frame = **it;
                const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
                if (it != groups[g].rbegin() && gce && gce->Disposal() >= 2)
                    continue;
                TGIFColorMap& map = frame.ActiveColorMap();
                for (int y = 0; y < frame.Height(); ++y)
                    for (int x = 0; x < frame.Width(); ++x) {
                        const int sx = frame.Left() + x;
                        const int sy = frame.Top() + y;
                        if (sx >= screenWidth || sy >= screenHeight)
                            continue;
                        const std::uint8_t index = frame.Pixels(x, y);
                        if (frame.Transparent() && index == gce->TransparentColorIndex())
                            continue;
                        const std::size_t at = std::size_t(sy) * std::size_t(screenWidth) + std::size_t(sx);
                        if (claimed[at])
                            continue;
                        claimed[at] = true;
                        ASSERT_LT(index, map.Count());
                        const TGIFColor& c = map.Entry(index);
                        const auto* e = reinterpret_cast<const std::uint8_t*>(rgba.data() + at * 4);
                        EXPECT_EQ((std::array<int, 4>{c.Red, c.Green, c.Blue, 255}),
                                  (std::array<int, 4>{e[0], e[1], e[2], e[3]}))
                            << "frame " << g << " at " << sx << "," << sy;
                        ++compared;
                    }
            }
            if (name != "image-outside-bg") {
                EXPECT_GT(compared, 0) << "frame " << g;
            }
        }
    }
    EXPECT_GT(cases, 80);
}

} // namespace
