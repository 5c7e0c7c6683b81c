#include "GiflibPeer.h"

#include <cstring>

#include <gif_lib.h>

namespace {

struct TReadState {
    const std::string* Data;
    std::size_t Position;
};

int ReadFromString(GifFileType* gif, GifByteType* buffer, int count)
{
    auto* state = static_cast<TReadState*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), state->Data->size() - state->Position);
    std::memcpy(buffer, state->Data->data() + state->Position, n);
    state->Position += n;
    return static_cast<int>(n);
}

int WriteToString(GifFileType* gif, const GifByteType* buffer, int count)
{
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(count));
    return count;
}

std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> rows;
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    const int start[4] = {0, 4, 2, 1};
    const int step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            rows.push_back(y);
    return rows;
}

} // namespace

std::optional<std::vector<TPeerFrame>> GiflibDecode(const std::string& file)
{
    TReadState state{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&state, ReadFromString, &error);
    if (!gif)
        return std::nullopt;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return std::nullopt;
    }
    std::vector<TPeerFrame> frames;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        TPeerFrame frame;
        frame.Left = image.ImageDesc.Left;
        frame.Top = image.ImageDesc.Top;
        frame.Width = image.ImageDesc.Width;
        frame.Height = image.ImageDesc.Height;
        frame.Interlaced = image.ImageDesc.Interlace;
        const std::size_t n = std::size_t(frame.Width) * std::size_t(frame.Height);
        if (image.RasterBits)
            frame.Pixels.assign(image.RasterBits, image.RasterBits + n);
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        if (map)
            for (int c = 0; c < map->ColorCount; ++c) {
                frame.Colors.push_back(map->Colors[c].Red);
                frame.Colors.push_back(map->Colors[c].Green);
                frame.Colors.push_back(map->Colors[c].Blue);
            }
        frames.push_back(std::move(frame));
    }
    DGifCloseFile(gif, &error);
    return frames;
}

std::string GiflibEncodeImageData(const std::vector<std::uint8_t>& pixels, int width, int height,
                                  bool interlaced, int bitsPerPixel)
{
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToString, &error);
    const int colors = 1 << bitsPerPixel;
    std::vector<GifColorType> table(static_cast<std::size_t>(colors));
    for (int i = 0; i < colors; ++i)
        table[static_cast<std::size_t>(i)] = {static_cast<GifByteType>(i), static_cast<GifByteType>(i), static_cast<GifByteType>(i)};
    ColorMapObject* map = GifMakeMapObject(colors, table.data());
    EGifPutScreenDesc(gif, width, height, bitsPerPixel, 0, map);
    EGifPutImageDesc(gif, 0, 0, width, height, interlaced, nullptr);
    for (int y : RowOrder(height, interlaced))
        EGifPutLine(gif, const_cast<GifPixelType*>(pixels.data() + std::size_t(y) * std::size_t(width)), width);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    // Header 13 bytes, the global table, the descriptor 10 bytes; the trailer last.
    const std::size_t start = 13 + 3 * std::size_t(colors) + 10;
    return out.substr(start, out.size() - start - 1);
}
