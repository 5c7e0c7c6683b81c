#include "tools/plennix/PdfGallery.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <future>

#include "gif/GIFFrameBitmap.h"
#include "gif/GIFImage.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfFonts.h"
#include "pdf/PdfImages.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/core/WorkerPool.h"
#include "platform/graphics/TBitmap.h"

namespace {

constexpr float PageWidth = TPdfDoc::DefaultPageWidth;
constexpr float PageHeight = TPdfDoc::DefaultPageHeight;
constexpr float Margin = 36;
constexpr float TitleSize = 16;
constexpr float CommentSize = 12;
constexpr float CommentLeading = 15;
constexpr float FooterSize = 9;
constexpr float Gap = 12;
// A long comment keeps the picture most of the page.
constexpr int MaxCommentLines = 8;

std::string ArgumentText(const std::string& part)
{
    if (part == "-")
        return {};
    std::string text = part;
    std::replace(text.begin(), text.end(), '~', ' ');
    return text;
}

bool IsBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// N of a file name "N.jpg" (any extension), or -1.
int PictureNumber(const std::string& path)
{
    const std::string name = ExtractFileName(path);
    const std::size_t dot = name.find('.');
    const std::string digits = name.substr(0, dot);
    if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        }))
        return -1;
    return std::stoi(digits);
}

// The standard fonts' tables give a no-break space and a soft hyphen no
// width, so readers would set the letters around them over each other: the
// page shows a no-break space as a space and leaves a soft hyphen out.
std::string PrintedText(std::string_view text)
{
    std::string printed;
    printed.reserve(text.size());
    for (char c : text) {
        if (c == '\xAD')
            continue;
        printed.push_back(c == '\xA0' ? ' ' : c);
    }
    return printed;
}

// The words of a text in lines no wider than `width` at the canvas's font,
// as printed; a word wider than a line is cut. Only a plain space breaks.
std::vector<std::string> WrapText(const TPdfCanvas& canvas, const std::string& text, float width)
{
    std::vector<std::string> lines;
    std::string line;
    auto fits = [&](const std::string& candidate) { return canvas.TextWidth(PrintedText(candidate)) <= width; };
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        std::size_t end = text.find(' ', i);
        if (end == std::string::npos)
            end = text.size();
        std::string word = text.substr(i, end - i);
        i = end;
        if (word.empty())
            continue;
        const std::string joined = line.empty() ? word : line + " " + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.empty())
            lines.push_back(line);
        line.clear();
        while (!fits(word)) {
            std::size_t cut = word.size() - 1;
            while (cut > 1 && !fits(word.substr(0, cut)))
                --cut;
            lines.push_back(word.substr(0, cut));
            word.erase(0, cut);
        }
        line = word;
    }
    if (!line.empty())
        lines.push_back(line);
    if (static_cast<int>(lines.size()) > MaxCommentLines) {
        lines.resize(MaxCommentLines);
        std::string& last = lines.back();
        while (!last.empty() && !fits(last + "..."))
            last.pop_back();
        last += "...";
    }
    for (std::string& printed : lines)
        printed = PrintedText(printed);
    return lines;
}

// The first line of a wrapped text; a long title or footer keeps one line.
std::string FirstLine(const TPdfCanvas& canvas, const std::string& text)
{
    const std::vector<std::string> lines = WrapText(canvas, text, PageWidth - 2 * Margin);
    return lines.empty() ? std::string() : lines.front();
}

void CentredText(TPdfCanvas& canvas, const std::string& text, float y)
{
    canvas.TextOut((PageWidth - canvas.TextWidth(text)) / 2, y, text);
}

struct TPicturePage {
    const TGalleryPicture* Picture;
    std::unique_ptr<TPdfImage> Image;
    std::int64_t Width;
    std::int64_t Height;
    // "path: reason" when the picture is left out.
    std::string Skipped;
};

// A GIF picture's frame 0 on the page's white, as a browser shows it; any
// other file is taken as a JPEG.
std::unique_ptr<TPdfImage> PictureImage(std::string bytes)
{
    if (!bytes.starts_with("GIF8"))
        return TPdfJpegImage::MakeImageFromBytes(std::move(bytes));
    TGIFImage gif;
    TMemoryStream stream{std::move(bytes)};
    gif.LoadFromStream(stream);
    if (gif.Empty())
        throw EInvalidGraphic("the GIF picture has no frames");
    TBitmap bitmap(gif.Width(), gif.Height(), pf24bit);
    bitmap.Fill(clWhite);
    DrawFrame(*gif.Images().Items(0), bitmap.Canvas(), TRect{0, 0, gif.Width(), gif.Height()}, true, false);
    return TPdfBitmapImage().MakeImage(bitmap);
}

// Runs on a worker: everything of a page that needs no document.
TPicturePage ReadPicture(const TGalleryPicture& picture)
{
    TPicturePage page{&picture, nullptr, 0, 0, {}};
    try {
        page.Image = PictureImage(ReadFileBytes(picture.Path));
        page.Width = page.Image->Attributes().PdfNumberByName("Width")->Value();
        page.Height = page.Image->Attributes().PdfNumberByName("Height")->Value();
        if (page.Width <= 0 || page.Height <= 0)
            throw EInvalidGraphic("the picture has no pixels");
    } catch (const EInvalidGraphic& e) {
        page.Image.reset();
        page.Skipped = picture.Path + ": not a JPEG picture (" + e.what() + ")";
    } catch (const Exception& e) {
        page.Image.reset();
        page.Skipped = picture.Path + ": " + e.what();
    }
    return page;
}

void DrawPage(TPdfDoc& doc, TPicturePage& page, const TPdfGalleryArguments& arguments, int number)
{
    TPdfCanvas& canvas = doc.Canvas();
    const std::string name = "Im" + std::to_string(number);
    doc.AddXObject(name, std::move(page.Image));

    float top = PageHeight - Margin;
    if (!arguments.Title.empty()) {
        canvas.SetFont("Arial-Bold", TitleSize);
        CentredText(canvas, FirstLine(canvas, arguments.Title), top - TitleSize);
        top -= TitleSize + Gap * 2;
    }
    float bottom = Margin;
    const std::string footer = arguments.Author.empty() || arguments.Date.empty()
                                   ? arguments.Author + arguments.Date
                                   : arguments.Author + ", " + arguments.Date;
    if (!footer.empty()) {
        canvas.SetFont("Arial", FooterSize);
        CentredText(canvas, FirstLine(canvas, footer), Margin - FooterSize);
        bottom += Gap;
    }

    canvas.SetFont("Arial", CommentSize);
    std::vector<std::string> comment;
    if (arguments.Comments && !IsBlank(page.Picture->Comment))
        comment = WrapText(canvas, page.Picture->Comment, PageWidth - 2 * Margin);
    const float commentHeight = comment.empty() ? 0 : Gap + CommentLeading * static_cast<float>(comment.size());

    // The picture as large as the area allows, never above one point per
    // pixel, with its comment under it and the two centred together.
    const float areaWidth = PageWidth - 2 * Margin;
    const float areaHeight = top - bottom - commentHeight;
    const float scale = std::min({areaWidth / static_cast<float>(page.Width),
                                  areaHeight / static_cast<float>(page.Height), 1.0f});
    const float width = static_cast<float>(page.Width) * scale;
    const float height = static_cast<float>(page.Height) * scale;
    const float groupTop = top - (areaHeight - height) / 2;
    canvas.DrawXObject(name, (PageWidth - width) / 2, groupTop - height, width, height);
    float baseline = groupTop - height - Gap - CommentSize;
    for (const std::string& line : comment) {
        CentredText(canvas, line, baseline);
        baseline -= CommentLeading;
    }
}

}  // namespace

TPdfGalleryArguments ParsePdfGalleryArguments(const std::vector<std::string>& arguments)
{
    TPdfGalleryArguments result;
    static const char* const names[] = {"comment flag", "title", "author", "date"};
    for (std::size_t i = arguments.size(); i < 4; ++i)
        result.Missing.emplace_back(names[i]);
    if (!arguments.empty())
        result.Comments = arguments[0] != "0";
    if (arguments.size() > 1)
        result.Title = ArgumentText(arguments[1]);
    if (arguments.size() > 2)
        result.Author = ArgumentText(arguments[2]);
    if (arguments.size() > 3)
        result.Date = ArgumentText(arguments[3]);
    return result;
}

std::vector<std::string> ListLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return lines;
}

std::vector<TGalleryPicture> PairPicturesWithComments(const std::vector<std::string>& pictures,
                                                      const std::vector<std::string>& comments)
{
    std::vector<TGalleryPicture> result;
    for (std::size_t line = 0; line < pictures.size(); ++line) {
        if (IsBlank(pictures[line]))
            continue;
        const int number = PictureNumber(pictures[line]);
        const std::size_t index = number >= 0 ? static_cast<std::size_t>(number) : line;
        result.push_back({pictures[line], index < comments.size() ? comments[index] : std::string()});
    }
    return result;
}

TPdfGalleryResult WritePdfGallery(const std::vector<TGalleryPicture>& pictures, const TPdfGalleryArguments& arguments,
                                  TStream& target, int workers)
{
    RegisterPdfFonts();
    TPdfGalleryResult result;
    TPdfDoc doc;
    doc.SetUseOutlines(true);
    doc.NewDoc();
    // Workers read and check the next pictures, one more than there are
    // workers, while the pages go into the document in list order.
    TWorkerPool pool(workers > 0 ? workers : TWorkerPool::MachineWorkers());
    std::deque<std::future<TPicturePage>> ahead;
    std::size_t handedOver = 0;
    for (std::size_t next = 0; next < pictures.size(); ++next) {
        for (; handedOver < pictures.size() && handedOver <= next + static_cast<std::size_t>(pool.Size()); ++handedOver)
            ahead.push_back(pool.Submit([&picture = pictures[handedOver]](int) { return ReadPicture(picture); }));
        TPicturePage page = ahead.front().get();
        ahead.pop_front();
        if (!page.Image) {
            result.Skipped.push_back(page.Skipped);
            continue;
        }
        const TGalleryPicture& picture = *page.Picture;
        doc.AddPage();
        DrawPage(doc, page, arguments, result.Pages);
        TPdfOutlineEntry& entry = TPdfOutlineEntry::CreateEntry(doc.OutlineRoot());
        entry.Title = arguments.Comments && !IsBlank(picture.Comment)
                          ? picture.Comment
                          : "Picture " + std::to_string(result.Pages + 1);
        entry.SetDestination({dtFit, &doc.Canvas().GetPage()});
        ++result.Pages;
    }
    if (result.Pages == 0)
        return result;
    if (!arguments.Title.empty())
        doc.Info()->SetTitle(arguments.Title);
    if (!arguments.Author.empty())
        doc.Info()->SetAuthor(arguments.Author);
    if (!arguments.Date.empty())
        doc.Info()->SetSubject(arguments.Date);
    doc.Info()->SetCreator("thumbnails");
    doc.SaveToStream(target);
    return result;
}
