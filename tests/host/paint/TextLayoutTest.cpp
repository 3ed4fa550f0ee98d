#include "skinui/paint/TextLayout.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/Utf16.h"

namespace zv {
namespace {

// Every character 7 pixels wide except '.' (2); lines `height` high. Bytes
// that make no UTF-8 character take no room, as in a font without a glyph
// for them.
class TFakeCanvas : public TTextCanvas {
public:
    explicit TFakeCanvas(int height = 14) : m_height(height) {}
    TSize TextExtent(const std::string& text) override {
        int w = 0;
        for (char16_t c : Utf8ToUtf16(text)) w += c == u'.' ? 2 : (c == 0xFFFD ? 0 : 7);
        ++Measured;
        return {w, m_height};
    }
    void TextOutClipped(const TRect& clip, int x, int y, const std::string& text) override {
        Calls.push_back({clip, x, y, text});
    }
    struct Call {
        TRect Clip;
        int X, Y;
        std::string Text;
    };
    std::vector<Call> Calls;
    int Measured = 0;

private:
    int m_height;
};

TEST(TextLayout, FitTextToWidthCutsAndAppendsDots) {
    TFakeCanvas c;
    std::string s = "Install";  // 49 pixels
    FitTextToWidth(c, s, 49);
    EXPECT_EQ(s, "Install");
    FitTextToWidth(c, s, 30);  // "Ins..." is 27, "Inst..." 34
    EXPECT_EQ(s, "Ins...");
    s = "Install";
    FitTextToWidth(c, s, 34);
    EXPECT_EQ(s, "Inst...");
    s = "Install";
    FitTextToWidth(c, s, 5);  // not even "..." (6) fits
    EXPECT_EQ(s, "...");
    s = "";
    FitTextToWidth(c, s, 0);
    EXPECT_EQ(s, "");
    FitTextToWidth(c, s, -1);
    EXPECT_EQ(s, "...");
    // Characters of several bytes go whole: half of one would fit here.
    s = "C:\\\xE6\x97\xA5\xE6\x9C\xAC";  // "C:\日本", 35 pixels
    FitTextToWidth(c, s, 34);
    EXPECT_EQ(s, "C:\\\xE6\x97\xA5...");
}

TEST(TextLayout, SingleLineTextIsCentredVerticallyAndClipped) {
    TFakeCanvas c(14);
    DrawSingleLineText(c, "Zorvane", {10, 20, 110, 41});
    ASSERT_EQ(c.Calls.size(), 1u);
    EXPECT_EQ(c.Calls[0].Clip, (TRect{10, 20, 110, 41}));
    EXPECT_EQ(c.Calls[0].X, 10);
    EXPECT_EQ(c.Calls[0].Y, 23);  // 20 + (21 - 14) / 2
    EXPECT_EQ(c.Calls[0].Text, "Zorvane");
    // Taller text than the rectangle: halves truncate toward zero.
    DrawSingleLineText(c, "x", {0, 50, 20, 61});
    EXPECT_EQ(c.Calls[1].Y, 49);  // 50 + (11 - 14) / 2 = 50 - 1
}

TEST(TextLayout, TextInRectStartsTwoPixelsInAndHalvesEachHeight) {
    TFakeCanvas c(14);
    DrawTextInRect(c, "OK", {10, 20, 110, 41});
    ASSERT_EQ(c.Calls.size(), 1u);
    EXPECT_EQ(c.Calls[0].X, 12);
    EXPECT_EQ(c.Calls[0].Y, 23);  // 20 + 10 - 7
    EXPECT_EQ(c.Calls[0].Clip, (TRect{10, 20, 110, 41}));
    DrawTextInRect(c, "x", {0, 50, 20, 61});
    EXPECT_EQ(c.Calls[1].Y, 48);  // 50 + 5 - 7, one above the single-line rule
}

}  // namespace
}  // namespace zv
