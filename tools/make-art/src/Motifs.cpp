#include "tools/make-art/src/Motifs.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tools/make-art/src/Palette.h"

namespace Motif {

namespace {

// Points along a circle arc, angles in degrees, y downwards on the screen.
std::vector<TPt> ArcPoints(TPt c, double rx, double ry, double from, double to, int steps)
{
    std::vector<TPt> points;
    for (int i = 0; i <= steps; ++i) {
        const double a = (from + (to - from) * i / steps) * std::numbers::pi / 180;
        points.push_back({c.X + rx * std::cos(a), c.Y - ry * std::sin(a)});
    }
    return points;
}

}  // namespace

void Photo(TArtPainter& p, const TBox& box, int variant, bool framed)
{
    TBox scene = box;
    if (framed) {
        const double border = std::max(1.0, std::min(box.W, box.H) * 0.07);
        p.FillRect(box, Solid(Palette::Card));
        scene = box.Inset(border);
    }
    const int v = ((variant % 4) + 4) % 4;
    const TColor skies[4][2] = {{Palette::Sky, Palette::SkyLow},
                                {RGB(250, 186, 120), RGB(253, 226, 180)},
                                {RGB(126, 176, 226), RGB(206, 228, 246)},
                                {RGB(170, 160, 220), RGB(236, 214, 222)}};
    p.FillRect(scene, Vertical(skies[v][0], skies[v][1]));
    const double sx = scene.X + scene.W * (0.22 + 0.18 * v);
    const double r = scene.H * 0.13;
    p.FillEllipse({sx - r, scene.Y + scene.H * 0.18, 2 * r, 2 * r}, Solid(v == 1 ? Palette::Card : Palette::Sun));
    const double base = scene.Bottom();
    const std::vector<TPt> far = {{scene.X, base},
                                  {scene.X, scene.Y + scene.H * 0.62},
                                  {scene.X + scene.W * (0.3 + 0.05 * v), scene.Y + scene.H * 0.38},
                                  {scene.X + scene.W * 0.62, scene.Y + scene.H * 0.58},
                                  {scene.X + scene.W * 0.82, scene.Y + scene.H * 0.46},
                                  {scene.Right(), scene.Y + scene.H * 0.6},
                                  {scene.Right(), base}};
    p.FillPolygon(far, Vertical(Palette::HillFar, Mix(Palette::HillFar, Palette::Hill, 0.5)));
    const std::vector<TPt> near = {{scene.X, base},
                                   {scene.X, scene.Y + scene.H * 0.78},
                                   {scene.X + scene.W * 0.45, scene.Y + scene.H * (0.64 + 0.03 * v)},
                                   {scene.Right(), scene.Y + scene.H * 0.8},
                                   {scene.Right(), base}};
    p.FillPolygon(near, Vertical(Palette::Hill, Mix(Palette::Hill, Palette::Navy, 0.3)));
}

void Shadow(TArtPainter& p, const TBox& box, double radius, double depth)
{
    for (int i = 3; i >= 1; --i) {
        const double grow = depth * i / 3;
        p.FillRoundRect({box.X - grow / 2, box.Y + depth / 2, box.W + grow, box.H + grow}, radius + grow,
                        Solid(Palette::Navy, 0.05));
    }
}

void Card(TArtPainter& p, const TBox& box, double radius)
{
    p.FillRoundRect(box, radius, Solid(Palette::Line));
    p.FillRoundRect(box.Inset(1), std::max(0.0, radius - 1), Solid(Palette::Card));
}

TBox Browser(TArtPainter& p, const TBox& box, double scale)
{
    const double radius = 5 * scale;
    const double bar = 14 * scale;
    Shadow(p, box, radius, 3 * scale);
    p.FillRoundRect(box, radius, Solid(Palette::Line));
    p.FillRoundRect(box.Inset(1), radius - 1, Solid(Palette::Card));
    p.FillRoundRect({box.X + 1, box.Y + 1, box.W - 2, bar + radius}, radius - 1,
                    Vertical(Palette::BluePale, Mix(Palette::BluePale, Palette::Card, 0.3)));
    p.FillRect({box.X + 1, box.Y + bar, box.W - 2, radius + 1}, Solid(Palette::Card));
    p.FillRect({box.X + 1, box.Y + bar, box.W - 2, std::max(1.0, scale * 0.75)}, Solid(Palette::Line));
    const double dot = 4.5 * scale;
    const TColor dots[3] = {Palette::Orange, Palette::OrangeLight, Palette::BlueLight};
    for (int i = 0; i < 3; ++i)
        p.FillEllipse({box.X + 6 * scale + i * 7 * scale, box.Y + (bar - dot) / 2 + 0.5, dot, dot}, Solid(dots[i]));
    const double address = box.X + 30 * scale;
    if (box.Right() - 8 * scale > address + 10)
        p.FillRoundRect({address, box.Y + bar * 0.25, box.Right() - 8 * scale - address, bar * 0.5}, bar * 0.25,
                        Solid(Palette::Card));
    return {box.X + 1, box.Y + bar + 1, box.W - 2, box.H - bar - 2};
}

void PhotoGrid(TArtPainter& p, const TBox& box, int columns, int rows, double gap, int firstVariant)
{
    const double w = (box.W - gap * (columns - 1)) / columns;
    const double h = (box.H - gap * (rows - 1)) / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const TBox cell{box.X + c * (w + gap), box.Y + r * (h + gap), w, h};
            p.FillRect(cell.Moved(0, 0.75), Solid(Palette::Navy, 0.12));
            Photo(p, cell, firstVariant + r * columns + c);
        }
}

void Envelope(TArtPainter& p, const TBox& box, TColor body, TColor flap, TColor lines)
{
    const double radius = std::min(box.W, box.H) * 0.08;
    const double lw = std::max(1.0, box.W * 0.045);
    p.FillRoundRect(box, radius, Solid(lines));
    p.FillRoundRect(box.Inset(lw * 0.5), std::max(0.0, radius - lw * 0.5), Solid(body));
    const std::vector<TPt> bottom = {{box.X + lw, box.Bottom() - lw}, {box.X + box.W * 0.5, box.Y + box.H * 0.5},
                                     {box.Right() - lw, box.Bottom() - lw}};
    p.StrokeLine(bottom, lw * 0.8, Solid(lines, 0.6));
    const std::vector<TPt> top = {{box.X, box.Y + radius * 0.6},
                                  {box.X + box.W * 0.5, box.Y + box.H * 0.58},
                                  {box.Right(), box.Y + radius * 0.6},
                                  {box.Right() - radius, box.Y},
                                  {box.X + radius, box.Y}};
    p.FillPolygon(top, Solid(flap));
    const std::vector<TPt> edge = {{box.X + lw * 0.7, box.Y + radius * 0.7},
                                   {box.X + box.W * 0.5, box.Y + box.H * 0.58},
                                   {box.Right() - lw * 0.7, box.Y + radius * 0.7}};
    p.StrokeLine(edge, lw, Solid(lines));
}

void Globe(TArtPainter& p, const TBox& box, double width, const TPaint& paint)
{
    const TPt c = box.Centre();
    const double r = std::min(box.W, box.H) / 2;
    p.StrokeEllipse({c.X - r, c.Y - r, 2 * r, 2 * r}, width, paint);
    p.StrokeEllipse({c.X - r * 0.45, c.Y - r + width / 2, r * 0.9, 2 * r - width}, width * 0.8, paint);
    const std::vector<TPt> meridian = {{c.X, c.Y - r + width}, {c.X, c.Y + r - width}};
    p.StrokeLine(meridian, width * 0.8, paint);
    for (double f : {-0.45, 0.0, 0.45}) {
        const double y = c.Y + f * r;
        const double half = std::sqrt(std::max(0.0, r * r - (f * r) * (f * r))) - width * 0.8;
        const std::vector<TPt> parallel = {{c.X - half, y}, {c.X + half, y}};
        p.StrokeLine(parallel, width * 0.8, paint);
    }
}

void Sheet(TArtPainter& p, const TBox& box, TColor paper, TColor fold, TColor border)
{
    const double corner = box.W * 0.3;
    const std::vector<TPt> outline = {{box.X, box.Y},
                                      {box.Right() - corner, box.Y},
                                      {box.Right(), box.Y + corner},
                                      {box.Right(), box.Bottom()},
                                      {box.X, box.Bottom()}};
    p.FillPolygon(outline, Solid(border));
    const double b = std::max(1.0, box.W * 0.04);
    const std::vector<TPt> inside = {{box.X + b, box.Y + b},
                                     {box.Right() - corner - b * 0.4, box.Y + b},
                                     {box.Right() - b, box.Y + corner + b * 0.4},
                                     {box.Right() - b, box.Bottom() - b},
                                     {box.X + b, box.Bottom() - b}};
    p.FillPolygon(inside, Solid(paper));
    const std::vector<TPt> dogEar = {{box.Right() - corner, box.Y},
                                     {box.Right() - corner, box.Y + corner},
                                     {box.Right(), box.Y + corner}};
    p.FillPolygon(dogEar, Solid(fold));
}

void TextLines(TArtPainter& p, const TBox& box, int lines, double thickness, TColor colour)
{
    if (lines < 1) return;
    const double step = lines > 1 ? (box.H - thickness) / (lines - 1) : 0;
    for (int i = 0; i < lines; ++i) {
        const double length = (i == lines - 1 && lines > 2) ? box.W * 0.6 : box.W * (0.92 + 0.08 * ((i * 3) % 2));
        p.FillRoundRect({box.X, box.Y + i * step, length, thickness}, thickness / 2, Solid(colour));
    }
}

void Arrow(TArtPainter& p, TPt a, TPt b, double width, const TPaint& paint)
{
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double len = std::hypot(dx, dy);
    if (len <= 0) return;
    const double ux = dx / len, uy = dy / len;
    const double head = width * 2.4;
    const TPt neck{b.X - ux * head, b.Y - uy * head};
    const std::vector<TPt> shaft = {a, neck};
    p.StrokeLine(shaft, width, paint);
    const std::vector<TPt> tip = {{b.X + ux * width * 0.3, b.Y + uy * width * 0.3},
                                  {neck.X - uy * head * 0.75, neck.Y + ux * head * 0.75},
                                  {neck.X + uy * head * 0.75, neck.Y - ux * head * 0.75}};
    p.FillPolygon(tip, paint);
}

void Star(TArtPainter& p, TPt centre, double radius, const TPaint& paint)
{
    std::vector<TPt> points;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? radius * 0.45 : radius;
        const double a = (90 + 36.0 * i) * std::numbers::pi / 180;
        points.push_back({centre.X + r * std::cos(a), centre.Y - r * std::sin(a)});
    }
    p.FillPolygon(points, paint);
}

void CircleArrow(TArtPainter& p, TPt centre, double radius, double from, double to, double width,
                 const TPaint& paint)
{
    const double direction = to > from ? 1 : -1;
    // The head takes the last part of the arc.
    const double headAngle = direction * (width * 2.2 / radius) * 180 / std::numbers::pi;
    const std::vector<TPt> arc = ArcPoints(centre, radius, radius, from, to - headAngle, 48);
    p.StrokeLine(arc, width, paint);
    const double a = (to - headAngle) * std::numbers::pi / 180;
    const double tipA = to * std::numbers::pi / 180;
    const TPt base{centre.X + radius * std::cos(a), centre.Y - radius * std::sin(a)};
    const TPt tip{centre.X + radius * std::cos(tipA), centre.Y - radius * std::sin(tipA)};
    const double spread = width * 1.5;
    const std::vector<TPt> head = {{base.X + std::cos(a) * spread, base.Y - std::sin(a) * spread},
                                   {tip.X + (tip.X - base.X) * 0.3, tip.Y + (tip.Y - base.Y) * 0.3},
                                   {base.X - std::cos(a) * spread, base.Y + std::sin(a) * spread}};
    p.FillPolygon(head, paint);
}

}  // namespace Motif
