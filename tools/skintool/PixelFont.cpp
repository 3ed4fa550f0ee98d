// The previews' bitmap font (see PixelFont.h): one row string per pixel row,
// '#' set, anything else clear; rows 7 and 8 are the descender.
#include "tools/skintool/PixelFont.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace zv {

namespace {

struct TGlyph {
    char ch;
    std::array<const char*, 9> rows;
};

// clang-format off
constexpr TGlyph kGlyphs[] = {
    {' ', {"...", "...", "...", "...", "...", "...", "...", nullptr, nullptr}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#", nullptr, nullptr}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####.", nullptr, nullptr}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###.", nullptr, nullptr}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####.", nullptr, nullptr}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####", nullptr, nullptr}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#....", nullptr, nullptr}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####", nullptr, nullptr}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#", nullptr, nullptr}},
    {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###", nullptr, nullptr}},
    {'J', {"..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##..", nullptr, nullptr}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#", nullptr, nullptr}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####", nullptr, nullptr}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#", nullptr, nullptr}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#", nullptr, nullptr}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###.", nullptr, nullptr}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#....", nullptr, nullptr}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#", nullptr, nullptr}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#", nullptr, nullptr}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####.", nullptr, nullptr}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#..", nullptr, nullptr}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###.", nullptr, nullptr}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#..", nullptr, nullptr}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#.", nullptr, nullptr}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#", nullptr, nullptr}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#..", nullptr, nullptr}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####", nullptr, nullptr}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####", nullptr, nullptr}},
    {'b', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "####.", nullptr, nullptr}},
    {'c', {"....", "....", ".###", "#...", "#...", "#...", ".###", nullptr, nullptr}},
    {'d', {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####", nullptr, nullptr}},
    {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###.", nullptr, nullptr}},
    {'f', {"..##", ".#..", "###.", ".#..", ".#..", ".#..", ".#..", nullptr, nullptr}},
    {'g', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
    {'h', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#", nullptr, nullptr}},
    {'i', {".#.", "...", "##.", ".#.", ".#.", ".#.", "###", nullptr, nullptr}},
    {'j', {"..#", "...", ".##", "..#", "..#", "..#", "..#", "#.#", ".#."}},
    {'k', {"#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#", nullptr, nullptr}},
    {'l', {"##.", ".#.", ".#.", ".#.", ".#.", ".#.", "###", nullptr, nullptr}},
    {'m', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#", nullptr, nullptr}},
    {'n', {".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#", nullptr, nullptr}},
    {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###.", nullptr, nullptr}},
    {'p', {".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."}},
    {'q', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", "....#"}},
    {'r', {"....", "....", "#.##", "##..", "#...", "#...", "#...", nullptr, nullptr}},
    {'s', {"....", "....", ".###", "#...", ".##.", "...#", "###.", nullptr, nullptr}},
    {'t', {".#..", ".#..", "###.", ".#..", ".#..", ".#..", "..##", nullptr, nullptr}},
    {'u', {".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", nullptr, nullptr}},
    {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#..", nullptr, nullptr}},
    {'w', {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#.", nullptr, nullptr}},
    {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", nullptr, nullptr}},
    {'y', {".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
    {'z', {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####", nullptr, nullptr}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###.", nullptr, nullptr}},
    {'1', {".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###", nullptr, nullptr}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####", nullptr, nullptr}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####.", nullptr, nullptr}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#.", nullptr, nullptr}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###.", nullptr, nullptr}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###.", nullptr, nullptr}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#...", nullptr, nullptr}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###.", nullptr, nullptr}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###.", nullptr, nullptr}},
    {'.', {".", ".", ".", ".", ".", ".", "#", nullptr, nullptr}},
    {',', {"..", "..", "..", "..", "..", ".#", ".#", "#.", nullptr}},
    {':', {".", ".", "#", ".", ".", ".", "#", nullptr, nullptr}},
    {'!', {"#", "#", "#", "#", "#", ".", "#", nullptr, nullptr}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#..", nullptr, nullptr}},
    {'\'', {"#", "#", ".", ".", ".", ".", ".", nullptr, nullptr}},
    {'"', {"#.#", "#.#", "...", "...", "...", "...", "...", nullptr, nullptr}},
    {'-', {"....", "....", "....", "####", "....", "....", "....", nullptr, nullptr}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", ".....", nullptr, nullptr}},
    {'_', {".....", ".....", ".....", ".....", ".....", ".....", ".....", "#####", nullptr}},
    {'/', {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#....", nullptr, nullptr}},
    {'\\', {"#....", "#....", ".#...", "..#..", "...#.", "....#", "....#", nullptr, nullptr}},
    {'(', {"..#", ".#.", "#..", "#..", "#..", ".#.", "..#", nullptr, nullptr}},
    {')', {"#..", ".#.", "..#", "..#", "..#", ".#.", "#..", nullptr, nullptr}},
    {'&', {".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#", nullptr, nullptr}},
};
// clang-format on

// The box drawn for characters the font lacks.
constexpr TGlyph kMissing = {'\0',
                             {"####", "#..#", "#..#", "#..#", "#..#", "#..#", "####", nullptr, nullptr}};

const TGlyph& FindGlyph(char ch) {
    for (const TGlyph& g : kGlyphs)
        if (g.ch == ch && g.rows[0]) return g;
    return kMissing;
}

int GlyphWidth(const TGlyph& g) {
    return static_cast<int>(std::strlen(g.rows[0]));
}

// Walks the text the way both width and drawing see it: calls f(glyph,
// underline) for every letter that takes room.
template <typename F>
void ForEachLetter(const std::string& text, bool accel, F f) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool underline = false;
        if (accel && text[i] == '&' && i + 1 < text.size()) {
            ++i;
            underline = text[i] != '&';
        }
        f(FindGlyph(text[i]), underline);
    }
}

void Plot(const TPixelView& target, const TRect& clip, int x, int y, TPixel colour) {
    if (x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom && target.Contains(x, y))
        target.At(x, y) = colour;
}

}  // namespace

int PixelTextWidth(const std::string& text, bool bold, bool accel) {
    int w = 0;
    ForEachLetter(text, accel, [&](const TGlyph& g, bool) { w += GlyphWidth(g) + 1 + (bold ? 1 : 0); });
    return w > 0 ? w - 1 : 0;
}

void DrawPixelText(const TPixelView& target, const TRect& clip, int x, int y, const std::string& text,
                   TPixel colour, bool bold, bool accel) {
    ForEachLetter(text, accel, [&](const TGlyph& g, bool underline) {
        const int gw = GlyphWidth(g);
        for (int r = 0; r < kPixelFontHeight && g.rows[static_cast<std::size_t>(r)]; ++r) {
            const char* row = g.rows[static_cast<std::size_t>(r)];
            for (int c = 0; c < gw && row[c]; ++c) {
                if (row[c] != '#') continue;
                Plot(target, clip, x + c, y + r, colour);
                if (bold) Plot(target, clip, x + c + 1, y + r, colour);
            }
        }
        if (underline)
            for (int c = 0; c < gw + (bold ? 1 : 0); ++c) Plot(target, clip, x + c, y + 8, colour);
        x += gw + 1 + (bold ? 1 : 0);
    });
}

}  // namespace zv
