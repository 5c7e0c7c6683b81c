#pragma once

// Reading the PAM and PPM files ImageMagick writes, for comparing pictures
// pixel by pixel.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace testsupport {

struct NetpbmPicture {
    int Width = 0, Height = 0, Depth = 0;  // Depth 3 (RGB) or 4 (RGBA)
    std::string Data;
    const unsigned char* At(int x, int y) const
    {
        return reinterpret_cast<const unsigned char*>(Data.data()) + (std::size_t(y) * Width + x) * Depth;
    }
};

// P7 (PAM) or binary P6 (PPM) with a maximum of 255; empty when unreadable.
inline NetpbmPicture ReadNetpbm(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    NetpbmPicture picture;
    std::string magic;
    in >> magic;
    if (magic == "P6") {
        int maxval = 0;
        in >> picture.Width >> picture.Height >> maxval;
        in.get();
        picture.Depth = 3;
    } else if (magic == "P7") {
        std::string line;
        while (std::getline(in, line) && line != "ENDHDR") {
            std::istringstream words(line);
            std::string key;
            words >> key;
            if (key == "WIDTH") words >> picture.Width;
            if (key == "HEIGHT") words >> picture.Height;
            if (key == "DEPTH") words >> picture.Depth;
        }
    } else {
        return {};
    }
    picture.Data.assign(std::istreambuf_iterator<char>(in), {});
    if (picture.Data.size() < std::size_t(picture.Width) * picture.Height * picture.Depth)
        return {};
    return picture;
}

}  // namespace testsupport
