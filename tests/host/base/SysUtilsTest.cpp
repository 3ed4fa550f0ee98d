#include "base/SysUtils.h"

#include <gtest/gtest.h>

#include "base/Exceptions.h"

using namespace zv;

TEST(StrToInt, AcceptsDecimalHexAndSigns) {
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("  42"), 42);
    EXPECT_EQ(StrToInt("-17"), -17);
    EXPECT_EQ(StrToInt("+5"), 5);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("0X1f"), 31);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
}

TEST(StrToInt, RejectsWithTheConversionMessage) {
    for (const char* bad :
         {"", " ", "-", "$", "0x", "12a", "2147483648", "-2147483649", "1 ", "$100000000"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid integer value");
        }
    }
    EXPECT_EQ(StrToIntDef("x", 7), 7);
}

TEST(RoundHalfEven, HalvesGoToEven) {
    EXPECT_EQ(RoundHalfEven(127.5), 128);
    EXPECT_EQ(RoundHalfEven(126.5), 126);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(DivRoundHalfEven(255, 2), 128);  // 127.5
    EXPECT_EQ(DivRoundHalfEven(253, 2), 126);  // 126.5
    EXPECT_EQ(DivRoundHalfEven(7, 3), 2);
    EXPECT_EQ(DivRoundHalfEven(-5, 2), -2);
    EXPECT_EQ(DivRoundHalfEven(-7, 2), -4);
}

TEST(TextHelpers, TrimCaseAndPaths) {
    EXPECT_EQ(Trim("  a b \t"), "a b");
    EXPECT_EQ(UpperCase("abC1"), "ABC1");
    EXPECT_TRUE(SameText("Plugins", "PLUGINS"));
    EXPECT_LT(CompareText("a", "B"), 0);
    EXPECT_EQ(IncludeTrailingBackslash("C:\\x"), "C:\\x\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\x\\"), "C:\\x\\");
    EXPECT_EQ(ExtractFilePath("C:\\a\\b.exe"), "C:\\a\\");
    EXPECT_EQ(ExtractFileName("C:\\a\\b.exe"), "b.exe");
    EXPECT_EQ(Format("%s=%d", "x", 3), "x=3");
}

TEST(IsAbsolutePath, DriveRootsAndUncNamesOnly) {
    for (const char* yes : {"C:\\", "c:/x", "Z:\\a\\b", "\\\\server\\share", "//server/share", "\\/s"})
        EXPECT_TRUE(IsAbsolutePath(yes)) << yes;
    // Relative to the current directory or drive, or no path at all: the
    // template's placeholder lines are of this kind.
    for (const char* no :
         {"", "item1", "C:", "C:x\\y", "\\x", "/x", "\\\\", "\\\\\\x", "1:\\x", ":\\x", "plugins\\", "..\\x"})
        EXPECT_FALSE(IsAbsolutePath(no)) << no;
}

TEST(AnsiCompareText, FoldsAccentedLettersInThePortableBuild) {
    EXPECT_EQ(AnsiCompareText("\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89"), 0);  // Été / éTÉ in UTF-8
    EXPECT_EQ(AnsiCompareText("\xC5\x93\xC3\xBF", "\xC5\x92\xC5\xB8"), 0);    // oe, y-diaeresis
    EXPECT_LT(AnsiCompareText("\xC3\xA9", "\xC3\xAA"), 0);                    // é before ê
    EXPECT_NE(AnsiCompareText("a", "b"), 0);
    EXPECT_NE(AnsiCompareStr("A", "a"), 0);
}
