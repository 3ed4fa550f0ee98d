#include "skinui/paint/TextLayout.h"

#include <vector>

#include "base/Utf16.h"

namespace zv {

namespace {

const std::string kEllipsis = "...";

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Length of the part of a path that always stays: "C:\", "C:",
// "\\server\share\" (or without its last separator at the end), "\".
std::size_t PathRootLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        // Server and share, each up to the next separator.
        std::size_t i = 2;
        for (int part = 0; part < 2 && i < path.size(); ++part) {
            while (i < path.size() && !IsSeparator(path[i])) ++i;
            if (i < path.size()) ++i;
        }
        return i;
    }
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

}  // namespace

void FitTextToWidth(TTextCanvas& canvas, std::string& text, int width) {
    if (canvas.TextExtent(text).cx <= width) return;
    while (!text.empty()) {
        // Whole characters only: half of one would draw as a stray sign.
        text.resize(Utf8Back(text));
        if (canvas.TextExtent(text + kEllipsis).cx <= width) break;
    }
    text += kEllipsis;
}

std::string ShortenPath(TTextCanvas& canvas, const std::string& path, int width) {
    const auto fits = [&](const std::string& s) { return canvas.TextExtent(s).cx <= width; };
    if (fits(path)) return path;
    const std::size_t root = PathRootLength(path);
    // Separators after the root; one that ends the path belongs to the last
    // folder.
    std::size_t end = path.size();
    if (end > root && IsSeparator(path[end - 1])) --end;
    std::vector<std::size_t> seps;
    for (std::size_t i = root; i < end; ++i)
        if (IsSeparator(path[i])) seps.push_back(i);
    std::string result;
    if (seps.empty()) {
        result = path;
        FitTextToWidth(canvas, result, width);
        return result;
    }
    const std::string head = path.substr(0, root);
    // The longest tail that fits after the root: the tail starts at
    // separator k, and what lies between the root and it gives way.
    std::size_t k = 0;
    while (k < seps.size() && (seps[k] == root || !fits(head + kEllipsis + path.substr(seps[k])))) ++k;
    if (k == seps.size()) {
        result = head + kEllipsis + path.substr(seps.back());
        FitTextToWidth(canvas, result, width);
        return result;
    }
    const std::string tail = kEllipsis + path.substr(seps[k]);
    result = head + tail;
    // Then the first folders, as many as still fit before the "...".
    for (std::size_t j = 0; j < k; ++j) {
        const std::string longer = path.substr(0, seps[j] + 1) + tail;
        if (!fits(longer)) break;
        result = longer;
    }
    return result;
}

void DrawSingleLineText(TTextCanvas& canvas, const std::string& text, const TRect& r) {
    const int th = canvas.TextExtent(text).cy;
    canvas.TextOutClipped(r, r.Left, r.Top + (r.Height() - th) / 2, text);
}

void DrawTextInRect(TTextCanvas& canvas, const std::string& text, const TRect& r) {
    const int th = canvas.TextExtent(text).cy;
    canvas.TextOutClipped(r, r.Left + 2, r.Top + r.Height() / 2 - th / 2, text);
}

}  // namespace zv
