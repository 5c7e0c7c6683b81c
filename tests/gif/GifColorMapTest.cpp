// Colour maps and the extension objects: storage, lookups, optimising, the
// graphic control's rules and the registries' order.

#include <gtest/gtest.h>

#include "GifTestSupport.h"
#include "gif/GIFExtensionRegistry.h"
#include "platform/core/TStream.h"

namespace {

struct TFixture {
    TGIFImage Image;
    std::vector<std::string> Warnings;
    TFixture()
    {
        Image.OnGIFWarning = [this](TObject*, int, const std::string& m) { Warnings.push_back(m); };
    }
    TGIFSubImage& AddFrame(int width, int height, std::initializer_list<int> pixels = {})
    {
        Image.AddFrame(std::make_unique<TGIFSubImage>(&Image));
        TGIFSubImage& frame = *Image.Images().Items(Image.Images().Count() - 1);
        frame.SetBounds(0, 0, width, height);
        int i = 0;
        for (int p : pixels)
            frame.Data()[i++] = static_cast<std::uint8_t>(p);
        return frame;
    }
};

std::string GIFError(const std::function<void()>& action)
{
    try {
        action();
    } catch (const GIFException& e) {
        return e.what();
    }
    return "";
}

TEST(GifColorMap, StorageGrowsInSteps)
{
    TFixture f;
    TGIFColorMap& map = f.Image.GlobalColorMap();
    const std::pair<int, int> steps[] = {{1, 16}, {16, 16}, {17, 32}, {33, 64}, {200, 224}, {256, 256}};
    int added = 0;
    for (const auto& [count, capacity] : steps) {
        while (added < count)
            map.Add(RGB(added++, 0, 0));
        EXPECT_EQ(map.Capacity(), capacity) << count;
    }
    EXPECT_EQ(GIFError([&] { map.Add(0); }), "Color table overflow");
    EXPECT_EQ(map.Count(), 256);
    TMemoryStream three(std::string(9, '\1'));
    map.LoadFromStream(three, 3);
    EXPECT_EQ(map.Capacity(), 16);
}

TEST(GifColorMap, LookupsAndErrors)
{
    TFixture f;
    TGIFColorMap& map = f.Image.GlobalColorMap();
    EXPECT_EQ(GIFError([&] { map.Colors(0); }), "Color table is empty");
    for (TColor c : {RGB(1, 1, 1), RGB(2, 2, 2), RGB(7, 8, 9), RGB(3, 3, 3), RGB(4, 4, 4), RGB(7, 8, 9)})
        map.Add(c | 0xFF000000);  // the high byte is ignored
    EXPECT_EQ(map.IndexOf(RGB(7, 8, 9)), 5);
    map.SetOptimized(true);
    EXPECT_EQ(map.IndexOf(RGB(7, 8, 9)), 2);
    EXPECT_EQ(map.IndexOf(RGB(0, 0, 0)), -1);
    EXPECT_EQ(map.Colors(300), RGB(1, 1, 1));
    EXPECT_EQ(f.Warnings, std::vector<std::string>{"Invalid color index"});
    EXPECT_EQ(GIFError([&] { map.Delete(6); }), "Invalid color index");
    map.Delete(0);
    EXPECT_EQ(map.Colors(0), RGB(2, 2, 2));
    EXPECT_FALSE(map.Optimized());
    EXPECT_EQ(map.AddUnique(RGB(3, 3, 3)), 2);
    EXPECT_EQ(BitsForColorCount(3), 2);
    EXPECT_EQ(BitsForColorCount(129), 8);
    HPALETTE palette = map.ExportPalette();
    TFixture g;
    g.Image.GlobalColorMap().ImportPalette(palette);
    EXPECT_EQ(g.Image.GlobalColorMap().Count(), map.Count());
    DeleteObject(palette);
}

TEST(GifColorMap, OptimizeSortsByUseAndKeepsNamedEntries)
{
    TFixture f;
    TGIFColorMap& map = f.Image.GlobalColorMap();
    for (int i = 0; i < 5; ++i)
        map.Add(RGB(i * 10, 0, 0));
    // Without frames nothing changes.
    EXPECT_FALSE(map.Optimize());
    EXPECT_FALSE(map.Optimized());

    TGIFSubImage& frame = f.AddFrame(3, 2, {3, 3, 3, 1, 1, 4});
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(2);  // named, but no pixel uses it
    frame.Extensions().Add(std::move(gce));
    f.Image.Header().SetBackgroundColorIndex(0);  // named, unused

    EXPECT_TRUE(map.Optimize());
    EXPECT_TRUE(map.Optimized());
    // By use: 3 (three), 1 (two), 4 (one); then the named unused 0 and 2 in
    // their order; nothing else existed.
    EXPECT_EQ(map.Count(), 5);
    EXPECT_EQ(std::vector<int>(frame.Data(), frame.Data() + 6), (std::vector<int>{0, 0, 0, 1, 1, 2}));
    EXPECT_EQ(map.Colors(0), RGB(30, 0, 0));
    EXPECT_EQ(map.Colors(f.Image.Header().BackgroundColorIndex()), RGB(0, 0, 0));
    EXPECT_EQ(map.Colors(frame.GraphicControlExtension()->TransparentColorIndex()), RGB(20, 0, 0));

    // An unused entry nobody names is dropped.
    TFixture g;
    for (int i = 0; i < 4; ++i)
        g.Image.GlobalColorMap().Add(RGB(i, 0, 0));
    g.Image.Header().SetBackgroundColorIndex(1);
    TGIFSubImage& only = g.AddFrame(2, 1, {2, 1});
    (void)only;
    g.Image.GlobalColorMap().Optimize();
    EXPECT_EQ(g.Image.GlobalColorMap().Count(), 2);
    EXPECT_EQ(g.Image.QueryBackgroundColour(), RGB(1, 0, 0));
}

TEST(GifColorMap, OptimizeInOrderChangesOnlyTheFlag)
{
    TFixture f;
    TGIFSubImage& frame = f.AddFrame(3, 1, {0, 0, 1});
    for (int i = 0; i < 4; ++i)
        frame.ColorMap().Add(RGB(i, 0, 0));
    EXPECT_TRUE(frame.ColorMap().Optimize());
    EXPECT_EQ(frame.ColorMap().Count(), 4);
    EXPECT_TRUE(frame.ColorMap().Optimized());
}

TEST(GifExtensions, GraphicControlRules)
{
    TFixture f;
    for (int i = 0; i < 16; ++i)
        f.Image.GlobalColorMap().Add(RGB(i, 0, 0));
    TGIFSubImage& frame = f.AddFrame(1, 1);
    auto first = std::make_unique<TGIFGraphicControlExtension>(&frame);
    auto second = std::make_unique<TGIFGraphicControlExtension>(&frame);
    TGIFGraphicControlExtension* a = first.get();
    frame.Extensions().Add(std::move(first));
    frame.Extensions().Add(std::move(second));
    EXPECT_EQ(frame.GraphicControlExtension(), a);

    a->SetTransparentColorIndex(200);
    EXPECT_EQ(a->TransparentColorIndex(), 0);
    EXPECT_EQ(f.Warnings, std::vector<std::string>{"Invalid color index"});
    a->SetDisposal(9);
    EXPECT_EQ(a->Disposal(), 1);
    a->SetTransparent(true);
    EXPECT_TRUE(frame.Transparent());
    EXPECT_TRUE(f.Image.QueryTransparent());

    frame.Extensions().Delete(0);
    EXPECT_EQ(frame.GraphicControlExtension(), nullptr);
    EXPECT_FALSE(frame.Transparent());
    EXPECT_EQ(frame.Extensions().Count(), 1);

    // With an empty active map any index is stored.
    TFixture g;
    TGIFSubImage& bare = g.AddFrame(1, 1);
    TGIFGraphicControlExtension gce(&bare);
    gce.SetTransparentColorIndex(200);
    EXPECT_EQ(gce.TransparentColorIndex(), 200);
}

struct TMyComment : TGIFCommentExtension {
    using TGIFCommentExtension::TGIFCommentExtension;
    static const TGIFExtensionClass Class;
    const TGIFExtensionClass& ExtensionClass() const override { return Class; }
};
const TGIFExtensionClass TMyComment::Class{"TMyComment", 0xFE,
                                           [](TGIFSubImage* s) -> std::unique_ptr<TGIFExtension> { return std::make_unique<TMyComment>(s); },
                                           nullptr};

TEST(GifExtensions, RegistriesAnswerTheLastRegistrationFirst)
{
    EXPECT_EQ(FindExtension(0xFE), &TGIFCommentExtension::Class);
    RegisterExtension(TMyComment::Class);
    EXPECT_EQ(FindExtension(0xFE), &TMyComment::Class);
    UnregisterExtension(TMyComment::Class);
    EXPECT_EQ(FindExtension(0xFE), &TGIFCommentExtension::Class);

    TGIFApplicationIdentifier id;
    std::copy_n("NETSCAPE2.0", 11, id.begin());
    EXPECT_EQ(FindAppExtension(id), &TGIFAppExtNSLoop::Class);
    RegisterAppExtension(id, TGIFUnknownAppExtension::Class);
    EXPECT_EQ(FindAppExtension(id), &TGIFUnknownAppExtension::Class);
    UnregisterAppExtension(TGIFUnknownAppExtension::Class);
    EXPECT_EQ(FindAppExtension(id), &TGIFAppExtNSLoop::Class);

    // Finding a class looks ahead and puts the stream back.
    TMemoryStream stream(std::string("\xFF\x0B") + "ANIMEXTS1.0");
    EXPECT_EQ(FindExtensionClass(stream), &TGIFAppExtNSLoop::Class);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(GifPicture, SizeSettersAndFrameBounds)
{
    TFixture f;
    f.Image.SetWidth(10);
    f.Image.SetHeight(10);
    TGIFSubImage& frame = f.AddFrame(4, 4);
    frame.SetBounds(6, 2, 4, 4);
    EXPECT_TRUE(f.Warnings.empty());
    f.Image.SetWidth(10);
    EXPECT_EQ(GIFError([&] { f.Image.SetWidth(9); }), "Image width too small for contained frames");
    EXPECT_EQ(GIFError([&] { f.Image.SetHeight(5); }), "Image height too small for contained frames");
    EXPECT_EQ(f.Image.Width(), 10);
    frame.SetBounds(8, 0, 4, 4);
    EXPECT_EQ(f.Warnings, (std::vector<std::string>{"Image width too small for contained frames",
                                                    "Image exceeds Logical Screen size"}));
    EXPECT_EQ(f.Image.Width(), 12);
    EXPECT_EQ(GIFError([&] { frame.Pixels(4, 0); }), "Invalid pixel coordinates");
    EXPECT_EQ(GIFError([&] { frame.Scanline(-1); }), "Invalid pixel coordinates");
    TGIFSubImage empty(&f.Image);
    EXPECT_EQ(GIFError([&] { empty.NeedImage(); }), "Image is empty");
}

} // namespace
