#include <gtest/gtest.h>

#include "base/PixelBuffer.h"
#include "skinui/SkinEffects.h"

using namespace zv;

namespace {

// Two columns: black and a colour with distinct channels.
TPixelBuffer Sample() {
    TPixelBuffer b(2, 2);
    for (int y = 0; y < 2; ++y) {
        b.At(0, y) = MakePixel(0, 0, 0);
        b.At(1, y) = MakePixel(200, 100, 50);
    }
    return b;
}

}  // namespace

// The inactive looks of a frame, as the frame applies them to its strips.
TEST(FrameInActiveEffect, EachEffectChangesThePixelsItsWay) {
    {
        TPixelBuffer b = Sample();
        FrameInActiveEffect(b.View(), 0);  // brightness 0.5: half-way to white
        EXPECT_EQ(PixelR(b.At(0, 0)), 128);
        EXPECT_EQ(PixelR(b.At(1, 0)), 228);
        EXPECT_EQ(PixelB(b.At(1, 0)), 152);
    }
    {
        TPixelBuffer b = Sample();
        FrameInActiveEffect(b.View(), 1);  // darkness 0.3
        EXPECT_EQ(PixelR(b.At(1, 0)), 140);
        EXPECT_EQ(PixelG(b.At(1, 0)), 70);
        EXPECT_EQ(PixelB(b.At(1, 0)), 35);
    }
    {
        TPixelBuffer b = Sample();
        FrameInActiveEffect(b.View(), 2);  // grey scale: 0.3 r + 0.59 g + 0.11 b
        const int v = PixelR(b.At(1, 0));
        EXPECT_EQ(v, 124);  // 60 + 59 + 5.5 = 124.5, halves to even
        EXPECT_EQ(PixelG(b.At(1, 0)), v);
        EXPECT_EQ(PixelB(b.At(1, 0)), v);
    }
    {
        TPixelBuffer b = Sample();
        FrameInActiveEffect(b.View(), 5);  // invert
        EXPECT_EQ(PixelR(b.At(0, 0)), 255);
        EXPECT_EQ(PixelR(b.At(1, 0)), 55);
        EXPECT_EQ(PixelG(b.At(1, 0)), 155);
        EXPECT_EQ(PixelB(b.At(1, 0)), 205);
    }
    {
        // Noise uses a fixed start value: the same picture on every repaint.
        TPixelBuffer a = Sample();
        TPixelBuffer b = Sample();
        FrameInActiveEffect(a.View(), 3);
        FrameInActiveEffect(b.View(), 3);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) EXPECT_EQ(a.At(x, y), b.At(x, y));
    }
    {
        // A number no skin word gives changes nothing.
        TPixelBuffer b = Sample();
        FrameInActiveEffect(b.View(), 9);
        FrameInActiveEffect(b.View(), -1);
        const TPixelBuffer s = Sample();
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) EXPECT_EQ(b.At(x, y), s.At(x, y));
    }
}
