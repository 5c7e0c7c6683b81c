#pragma once

// Metafiles written record by record for the playback tests.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "canvas_test_support.h"
#include "platform/core/Exceptions.h"
#include "platform/graphics/TMetafile.h"

namespace canvastest {

// A Windows metafile written record by record: each record is its size in
// words, the function number and its 16-bit parameters.
struct WmfWriter {
    std::string body;
    int objects = 0;
    void u16(std::uint32_t v)
    {
        body.push_back(char(v & 0xFF));
        body.push_back(char((v >> 8) & 0xFF));
    }
    void u32(std::uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void Record(std::uint16_t function, std::initializer_list<int> words)
    {
        u32(std::uint32_t(3 + words.size()));
        u16(function);
        for (int w : words) u16(std::uint16_t(w));
    }
    // Parameters are stored last argument first.
    void Rectangle(int l, int t, int r, int b) { Record(0x041B, {b, r, t, l}); }
    void Ellipse(int l, int t, int r, int b) { Record(0x0418, {b, r, t, l}); }
    void MoveTo(int x, int y) { Record(0x0214, {y, x}); }
    void LineTo(int x, int y) { Record(0x0213, {y, x}); }
    void Pen(int style, int width, TColor c)
    {
        Record(0x02FA, {style, width, 0, int(c & 0xFFFF), int(c >> 16)});
        ++objects;
    }
    void Brush(int style, TColor c)
    {
        Record(0x02FC, {style, int(c & 0xFFFF), int(c >> 16), 0});
        ++objects;
    }
    void Select(int index) { Record(0x012D, {index}); }
    void Polygon(std::initializer_list<TPoint> points)
    {
        std::vector<int> words{int(points.size())};
        for (TPoint p : points) {
            words.push_back(p.X);
            words.push_back(p.Y);
        }
        u32(std::uint32_t(3 + words.size()));
        u16(0x0324);
        for (int w : words) u16(std::uint16_t(w));
    }
    // The file: an optional placeable header, the metafile header, the records, the end record.
    std::string File(bool placeable, TRect bounds = {}, int inch = 96) const
    {
        WmfWriter out;
        if (placeable) {
            out.u32(0x9AC6CDD7);
            out.u16(0);
            for (int v : {bounds.Left, bounds.Top, bounds.Right, bounds.Bottom}) out.u16(std::uint16_t(v));
            out.u16(std::uint16_t(inch));
            out.u32(0);
            out.u16(0);  // checksum: not checked
        }
        const std::size_t words = 9 + body.size() / 2 + 3;
        out.u16(1);   // memory metafile
        out.u16(9);   // header size in words
        out.u16(0x0300);
        out.u32(std::uint32_t(words));
        out.u16(std::uint16_t(objects));
        out.u32(8);
        out.u16(0);
        out.body += body;
        out.Record(0, {});
        return out.body;
    }
};

// An enhanced metafile: the header record, then records of type and size.
struct EmfWriter {
    std::string records;
    int count = 0;
    static void Put32(std::string& s, std::uint32_t v)
    {
        for (int k = 0; k < 4; ++k) s.push_back(char((v >> (8 * k)) & 0xFF));
    }
    void Record(std::uint32_t type, std::initializer_list<std::int32_t> values, const std::string& tail = {})
    {
        std::string r;
        Put32(r, type);
        Put32(r, std::uint32_t(8 + 4 * values.size() + tail.size()));
        for (std::int32_t v : values) Put32(r, std::uint32_t(v));
        records += r + tail;
        ++count;
    }
    // A 96 x 96 pixel picture on a 96 dpi reference device.
    std::string File(TRect frameHimetric = {0, 0, 2540, 2540}) const
    {
        std::string h;
        Put32(h, 1);
        Put32(h, 88);
        for (int v : {0, 0, 95, 95}) Put32(h, std::uint32_t(v));
        for (int v : {frameHimetric.Left, frameHimetric.Top, frameHimetric.Right, frameHimetric.Bottom})
            Put32(h, std::uint32_t(v));
        Put32(h, 0x464D4520);
        Put32(h, 0x10000);
        Put32(h, 0);  // bytes, patched below
        Put32(h, std::uint32_t(count + 2));
        Put32(h, 10);  // handles (a 16-bit field and a reserved one)
        Put32(h, 0);
        Put32(h, 0);
        Put32(h, 0);
        for (int v : {960, 960, 254, 254}) Put32(h, std::uint32_t(v));
        std::string file = h + records;
        std::string eof;
        Put32(eof, 14);
        Put32(eof, 20);
        Put32(eof, 0);
        Put32(eof, 0);
        Put32(eof, 20);
        file += eof;
        const std::uint32_t size = std::uint32_t(file.size());
        for (int k = 0; k < 4; ++k) file[std::size_t(48 + k)] = char((size >> (8 * k)) & 0xFF);
        return file;
    }
};

inline std::unique_ptr<TMetafile> Load(const std::string& bytes)
{
    auto m = std::make_unique<TMetafile>();
    m->LoadFromBytes(bytes);
    return m;
}

inline std::unique_ptr<TBitmap> Played(TMetafile& m, int w, int h, TRect rect)
{
    auto b = Filled(w, h, clWhite);
    b->Canvas().StretchDraw(rect, m);
    return b;
}

// Plays `rounds` damaged copies of a file (bytes changed, some cut short):
// loading succeeds or raises EInvalidGraphic, drawing never fails.
inline void PlayDamagedCopies(const std::string& original, std::mt19937& random, int rounds)
{
    for (int round = 0; round < rounds; ++round) {
        std::string bytes = original;
        const int changes = 1 + int(random() % 8);
        for (int k = 0; k < changes; ++k) {
            const std::size_t at = random() % bytes.size();
            bytes[at] = char(random() % 4 == 0 ? 0xFF : random());
        }
        if (round % 5 == 0) bytes.resize(random() % bytes.size());
        SCOPED_TRACE(round);
        TMetafile m;
        try {
            m.LoadFromBytes(bytes);
        } catch (const EInvalidGraphic&) {
            continue;
        }
        auto played = Filled(40, 40, clWhite);
        played->Canvas().StretchDraw(Rect(0, 0, 40, 40), m);
    }
}

}  // namespace canvastest
