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

// The widths below are the fake's: 7 pixels a character, 2 a dot, so "..."
// takes 6. Each step narrower gives the next shorter form.
TEST(TextLayout, ShortenPathKeepsTheRootAndTheLastFolders) {
    TFakeCanvas c;
    const auto width = [&](const std::string& s) { return c.TextExtent(s).cx; };
    const std::string path = "C:\\Program Files\\Mozilla Firefox\\plugins";
    EXPECT_EQ(ShortenPath(c, path, width(path)), path);
    // The last folders win over the first ones; the first come back while
    // they fit.
    const std::string lastTwo = "C:\\...\\Mozilla Firefox\\plugins";
    EXPECT_EQ(ShortenPath(c, path, width(path) - 1), lastTwo);
    const std::string firstAndLast = "C:\\Program Files\\...\\plugins";
    ASSERT_LT(width(firstAndLast), width(lastTwo));
    EXPECT_EQ(ShortenPath(c, path, width(lastTwo) - 1), firstAndLast);
    EXPECT_EQ(ShortenPath(c, path, width(firstAndLast) - 1), "C:\\...\\plugins");
    // Not even the last folder whole: cut at its end.
    EXPECT_EQ(ShortenPath(c, path, width("C:\\...\\plugins") - 1), "C:\\...\\plugin...");
    EXPECT_EQ(ShortenPath(c, path, 5), "...");

    // Deeper paths drop as few folders as they must, from the middle.
    const std::string deep = "D:\\a\\bb\\ccc\\dddd\\eeeee";
    EXPECT_EQ(ShortenPath(c, deep, width(deep) - 1), "D:\\...\\bb\\ccc\\dddd\\eeeee");
    EXPECT_EQ(ShortenPath(c, deep, width("D:\\...\\dddd\\eeeee")), "D:\\...\\dddd\\eeeee");
    EXPECT_EQ(ShortenPath(c, deep, width("D:\\a\\...\\dddd\\eeeee")), "D:\\a\\...\\dddd\\eeeee");

    // A share's server and name stay like a drive; a separator at the end
    // stays with the last folder; a leading one is a root of its own.
    const std::string unc = "\\\\server\\share\\Opera\\Program\\Plugins\\";
    EXPECT_EQ(ShortenPath(c, unc, width(unc) - 1), "\\\\server\\share\\...\\Program\\Plugins\\");
    EXPECT_EQ(ShortenPath(c, "\\Windows\\System32\\x", width("\\...\\x")), "\\...\\x");

    // Folders in any script go whole, counted as characters, not bytes.
    const std::string japanese = "C:\\\xE6\x97\xA5\xE6\x9C\xAC\\Mozilla\\plugins";  // C:\日本\Mozilla\plugins
    EXPECT_EQ(ShortenPath(c, japanese, width(japanese) - 1), "C:\\...\\Mozilla\\plugins");
    EXPECT_EQ(ShortenPath(c, "C:\\\xE6\x97\xA5\\\xE6\x9C\xAC\xE6\x9C\xAC", width("C:\\...\\\xE6\x9C\xAC...")),
              "C:\\...\\\xE6\x9C\xAC...");

    // No separator at all: only the end can go.
    EXPECT_EQ(ShortenPath(c, "plugins", width("plugins") - 1), "plugin...");
}

}  // namespace
}  // namespace zv
