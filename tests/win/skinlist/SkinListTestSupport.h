// Shared pieces of the scroll bar and check list tests: a borderless test
// form, the program's skin loaded from the source tree, pasting picture
// pieces into an expected image, and a pixel-exact comparison that saves
// both images as BMP when they differ.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "skin/SkinData.h"
#include "tests/win/support/SkinTestSupport.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Forms.h"

namespace zvtest {

class TTestForm : public zv::TForm {
public:
    TTestForm() : zv::TForm(nullptr) {
        SetBorderStyle(zv::TFormBorderStyle::bsNone);
        SetBounds(200, 200, 300, 260);
        SetColor(zv::clWhite);
    }
    void ShowActive() {
        Show();
        SetForegroundWindow(Handle());
        Pump(150);
    }
};

struct TSkinFixture {
    zv::TksCompressedStoredSkin Stored{nullptr};
    zv::TksSkinData Data{nullptr};
    TSkinFixture() { LoadProgramSkin(Stored, Data); }
};

// Copies rectangle `src` of `pic` to (x, y) of `out`, clipped.
inline void Paste(zv::TPixelBuffer& out, int x, int y, const zv::TPixelView& pic, const zv::TRect& src) {
    for (int sy = src.Top; sy < src.Bottom; ++sy)
        for (int sx = src.Left; sx < src.Right; ++sx) {
            const int tx = x + sx - src.Left;
            const int ty = y + sy - src.Top;
            if (tx >= 0 && ty >= 0 && tx < out.Width() && ty < out.Height())
                out.At(tx, ty) = zv::PixelRGB(pic.At(sx, sy));
        }
}

// Writes a capture as BMP (into ZV_BINARY_DIR) when ZV_SKINLIST_DUMP is set.
inline void DumpIfAsked(const zv::TPixelBuffer& pixels, const std::string& name) {
    if (std::getenv("ZV_SKINLIST_DUMP") == nullptr) return;
    const char* dir = std::getenv("ZV_BINARY_DIR");
    std::string path = (dir ? std::string("Z:") + dir + "/" : std::string()) + name + ".bmp";
    for (char& c : path)
        if (c == '/') c = '\\';
    SaveBmp(pixels, path);
}

// Every pixel of `want` equals the one of `got` at the same place (the
// top byte is ignored). On a difference both are written as BMP files
// (into ZV_BINARY_DIR when set) for looking at; with ZV_SKINLIST_DUMP set
// they are always written.
inline void ExpectPixels(const zv::TPixelBuffer& got, const zv::TPixelBuffer& want, const std::string& name) {
    ASSERT_GE(got.Width(), want.Width());
    ASSERT_GE(got.Height(), want.Height());
    int bad = 0;
    std::string first;
    for (int y = 0; y < want.Height(); ++y)
        for (int x = 0; x < want.Width(); ++x)
            if (zv::PixelRGB(got.At(x, y)) != zv::PixelRGB(want.At(x, y))) {
                if (bad++ < 5) {
                    char buf[96];
                    std::snprintf(buf, sizeof buf, " (%d,%d) got %06X want %06X", x, y,
                                  static_cast<unsigned>(zv::PixelRGB(got.At(x, y))),
                                  static_cast<unsigned>(zv::PixelRGB(want.At(x, y))));
                    first += buf;
                }
            }
    // ZV_SKINLIST_DUMP=1 keeps every compared image for looking at.
    if (bad != 0 || std::getenv("ZV_SKINLIST_DUMP") != nullptr) {
        const char* dir = std::getenv("ZV_BINARY_DIR");
        const std::string base = dir ? std::string("Z:") + dir + "/" : std::string();
        std::string got_path = base + name + "-got.bmp";
        std::string want_path = base + name + "-want.bmp";
        for (std::string* p : {&got_path, &want_path})
            for (char& c : *p)
                if (c == '/') c = '\\';
        SaveBmp(got, got_path);
        SaveBmp(want, want_path);
    }
    EXPECT_EQ(bad, 0) << name << ":" << first;
}

}  // namespace zvtest
