#include "base/Utf16.h"

#include <gtest/gtest.h>

using namespace zv;

TEST(Utf16, EveryLengthOfSequenceGoesBothWays) {
    struct TCase {
        std::string utf8;
        std::u16string utf16;
    };
    const TCase cases[] = {
        {"", u""},
        {"C:\\Plugins", u"C:\\Plugins"},
        {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},                  // two bytes
        {"C:\\\xE6\x97\xA5\xE6\x9C\xAC", u"C:\\\u65E5\u672C"},    // three bytes
        {"\xCE\x95\xD0\x96\xEF\xBF\xBF", u"\u0395\u0416\uFFFF"},  // Greek, Cyrillic, last of the plane
        {"\xF0\x9F\x98\x80!", std::u16string{char16_t(0xD83D), char16_t(0xDE00), u'!'}},  // a surrogate pair
        {"\xF4\x8F\xBF\xBF", std::u16string{char16_t(0xDBFF), char16_t(0xDFFF)}},  // the last character
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
    }
}

TEST(Utf16, LoneSurrogatesOfFileNamesComeBackUnchanged) {
    // A name the file system may hold although it is no text.
    const std::u16string names[] = {
        {char16_t(0xD800), u'x'},
        {u'a', char16_t(0xDC00)},
        {char16_t(0xDC00), char16_t(0xD800)},  // the wrong order is no pair
        {char16_t(0xD83D)},
    };
    for (const std::u16string& name : names) EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(name)), name);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xD800), u'x'}), "\xED\xA0\x80x");
}

TEST(Utf16, BytesThatAreNoUtf8BecomeOneReplacementEachAndTheRestReads) {
    struct TCase {
        std::string utf8;
        std::u16string utf16;
    };
    const TCase cases[] = {
        {"\xC4rger", u"\uFFFDrger"},  // Windows-1252 "Ä"
        {"a\x80"
         "b",
         u"a\uFFFDb"},        // a continuation byte alone
        {"\xC3", u"\uFFFD"},  // cut at the end
        {"\xE6\x97"
         "x",
         u"\uFFFD\uFFFDx"},                                 // cut before another character
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong "/"
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong again
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xFF\xFE", u"\uFFFD\uFFFD"},
    };
    for (const TCase& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
}

TEST(Utf16, BackFindsTheStartOfTheLastCharacter) {
    EXPECT_EQ(Utf8Back(""), 0u);
    EXPECT_EQ(Utf8Back("ab"), 1u);
    EXPECT_EQ(Utf8Back("a\xC3\xA9"), 1u);
    EXPECT_EQ(Utf8Back("a\xE6\x97\xA5"), 1u);
    EXPECT_EQ(Utf8Back("\xF0\x9F\x98\x80"), 0u);
    // Broken ends go byte by byte.
    EXPECT_EQ(Utf8Back("a\xE6\x97"), 2u);
    EXPECT_EQ(Utf8Back("a\x80"), 1u);
    EXPECT_EQ(Utf8Back("\x80\x80\x80\x80\x80"), 4u);
    EXPECT_EQ(Utf8Back("\xC3\xA9\xA9"), 2u);
}
