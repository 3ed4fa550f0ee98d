// The description reader and every value format.
#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "skin/IniFile.h"
#include "skin/SkinValues.h"

namespace zv {
namespace {

TksMemIniFile Ini(const std::string& text) {
    TksMemIniFile ini;
    ini.SetText(text);
    return ini;
}

TEST(SkinIniReader, LinesSectionsKeysAndComments) {
    const TksMemIniFile ini =
        Ini("orphan=dropped\r\n"
            "  [ Panel ]  \r\n"
            "; comment=skipped\r\n"
            "\t fontName = Arial Bold \t\r\n"
            "noequals\r\n"
            "empty=\r\n"
            "expr=a=b\r\n"
            "unenabledfontColor=1\r\n"
            "[other]\n"
            "x=1\n"
            "x=2\r"
            "[PANEL]\r\n"
            "fontname=unreachable\r\n");
    EXPECT_TRUE(ini.SectionExists("panel"));
    EXPECT_EQ(ini.ReadString("panel", "FONTNAME", "d"), "Arial Bold");
    EXPECT_EQ(ini.ReadString("panel", "unenabledfontcolor", "d"), "1");
    EXPECT_EQ(ini.ReadString("panel", "empty", "d"), "");  // present: not the default
    EXPECT_EQ(ini.ReadString("panel", "missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("panel", "expr", "d"), "a=b");
    EXPECT_EQ(ini.ReadString("panel", "noequals", "d"), "d");
    EXPECT_EQ(ini.ReadString("panel", "; comment", "d"), "d");
    EXPECT_EQ(ini.ReadString("nosection", "x", "d"), "d");
    EXPECT_EQ(ini.ReadString("", "orphan", "d"), "d");
    EXPECT_EQ(ini.ReadString("other", "x", "d"), "2");  // the later line counts
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"Panel", "other", "PANEL"}));
}

TEST(SkinIniReader, WritingKeepsOrderAndErasesSections) {
    TksMemIniFile ini = Ini("[a]\nk=1\n[b]\nk=2\n");
    ini.WriteString("A", "K", "3");
    ini.WriteString("a", "new", "4");
    ini.WriteString("c", "k", "5");
    ini.EraseSection("B");
    TStringList lines;
    ini.GetStrings(lines);
    EXPECT_EQ(lines.ToVector(), (std::vector<std::string>{"[a]", "k=3", "new=4", "", "[c]", "k=5"}));
    EXPECT_FALSE(ini.SectionExists("b"));
}

TEST(SkinValues, IntegersInEveryNotation) {
    const TksMemIniFile ini = Ini("[s]\nd=-42\nh1=0x1F\nh2=0X1f\nh3=$ff\nbad=12a\nempty=\nbig=4294967296\n");
    EXPECT_EQ(ReadInteger(ini, "s", "d", 7), -42);
    EXPECT_EQ(ReadInteger(ini, "s", "h1", 7), 31);
    EXPECT_EQ(ReadInteger(ini, "s", "h2", 7), 31);
    EXPECT_EQ(ReadInteger(ini, "s", "h3", 7), 255);
    EXPECT_EQ(ReadInteger(ini, "s", "bad", 7), 7);
    EXPECT_EQ(ReadInteger(ini, "s", "empty", 7), 7);
    EXPECT_EQ(ReadInteger(ini, "s", "big", 7), 7);
    EXPECT_EQ(ReadInteger(ini, "s", "missing", -1), -1);
    EXPECT_EQ(ReadColor(ini, "s", "h3", 0), 0xFF);  // red in the low byte
}

TEST(SkinValues, FlagIsTrueOnlyForTheIntegerOne) {
    const TksMemIniFile ini = Ini("[s]\na=1\nb=2\nc=true\nd=0x1\ne=\n");
    EXPECT_TRUE(ReadBool(ini, "s", "a"));
    EXPECT_FALSE(ReadBool(ini, "s", "b"));
    EXPECT_FALSE(ReadBool(ini, "s", "c"));
    EXPECT_TRUE(ReadBool(ini, "s", "d"));
    EXPECT_FALSE(ReadBool(ini, "s", "e"));
    EXPECT_FALSE(ReadBool(ini, "s", "missing"));
}

TEST(SkinValues, PointsAndRectsIgnoreEverythingButDigitsAndCommas) {
    EXPECT_EQ(ParsePoint("-3,5"), Point(3, 5));
    EXPECT_EQ(ParsePoint(" 12 ,\t34 "), Point(12, 34));
    EXPECT_EQ(ParseRect("1, 2 ,3 , 4"), Rect(1, 2, 3, 4));
    EXPECT_EQ(ParseRect("x1y,2px,3,(4)"), Rect(1, 2, 3, 4));
    const TksMemIniFile ini = Ini("[s]\np=7,8\nr=5,24,157,135\n");
    EXPECT_EQ(ReadPoint(ini, "s", "p"), Point(7, 8));
    EXPECT_EQ(ReadRect(ini, "s", "r"), Rect(5, 24, 157, 135));
    EXPECT_EQ(ReadPoint(ini, "s", "missing"), Point(0, 0));
    EXPECT_EQ(ReadRect(ini, "s", "missing"), Rect(0, 0, 0, 0));
}

void ExpectConvertError(const std::function<void()>& f, const std::string& message) {
    try {
        f();
        ADD_FAILURE() << "no conversion error, expected " << message;
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

TEST(SkinValues, EmptyNumbersAndExtraNumbersAreConversionErrors) {
    const std::string empty = "'' is not a valid integer value";
    ExpectConvertError([] { (void)ParseRect("1,,3,4"); }, empty);
    ExpectConvertError([] { (void)ParseRect("1,2,3"); }, empty);  // too few commas
    ExpectConvertError([] { (void)ParseRect(""); }, empty);
    ExpectConvertError([] { (void)ParsePoint("5"); }, empty);
    ExpectConvertError([] { (void)ParsePoint("5,-"); }, empty);
    ExpectConvertError([] { (void)ParsePoint("1,2,3"); }, "'1,2,3' is not a valid integer value");
    ExpectConvertError([] { (void)ParseRect("1,2,3,4,5"); }, "'1,2,3,4,5' is not a valid integer value");
    ExpectConvertError([] { (void)ParseRect("1,2,3,4,"); }, "'1,2,3,4,' is not a valid integer value");
    ExpectConvertError([] { (void)ParsePoint("99999999999,1"); },
                       "'99999999999' is not a valid integer value");
    const TksMemIniFile ini = Ini("[s]\nr=\n");
    ExpectConvertError([&] { (void)ReadRect(ini, "s", "r"); }, empty);  // present but empty
}

TEST(SkinValues, FontStylesByContainedWords) {
    EXPECT_EQ(ParseFontStyle(""), 0u);
    EXPECT_EQ(ParseFontStyle("fsbold"), static_cast<TFontStyles>(fsBold));
    EXPECT_EQ(ParseFontStyle("fsbold,fsitalic"), static_cast<TFontStyles>(fsBold | fsItalic));
    EXPECT_EQ(ParseFontStyle("[fsunderline fsstrikeout]"),
              static_cast<TFontStyles>(fsUnderline | fsStrikeOut));
    EXPECT_EQ(ParseFontStyle("fsBold"), 0u);  // letter case must match
    EXPECT_EQ(FontStyleToStr(fsBold | fsStrikeOut), "fsbold,fsstrikeout");
}

TEST(SkinValues, EnumerationWordsAndTheirFallbacks) {
    const TksMemIniFile ini =
        Ini("[s]\na1=tacenter\na2=taleftjustify\na3=TACENTER\nm1=mkpush\nm2=MKPUSH\n"
            "e1=ieinvert\ne2=iefoo\nc1=cmclose\nc2=CMCLOSE\nc3=cmrollup\n");
    EXPECT_EQ(ReadAlignment(ini, "s", "a1"), TAlignment::taCenter);
    EXPECT_EQ(ReadAlignment(ini, "s", "a2"), TAlignment::taLeftJustify);
    EXPECT_EQ(ReadAlignment(ini, "s", "a3"), TAlignment::taRightJustify);
    EXPECT_EQ(ReadAlignment(ini, "s", "missing"), TAlignment::taCenter);
    EXPECT_EQ(ReadMorphKind(ini, "s", "m1"), TMorphKind::mkPush);
    EXPECT_EQ(ReadMorphKind(ini, "s", "m2"), TMorphKind::mkDefault);
    EXPECT_EQ(ReadMorphKind(ini, "s", "missing"), TMorphKind::mkDefault);
    EXPECT_EQ(ReadInActiveEffect(ini, "s", "e1"), TInActiveEffect::ieInvert);
    EXPECT_EQ(ReadInActiveEffect(ini, "s", "e2"), TInActiveEffect::ieGrayScale);
    EXPECT_EQ(ReadInActiveEffect(ini, "s", "missing"), TInActiveEffect::ieBrightness);
    EXPECT_EQ(ReadCommand(ini, "s", "c1"), TStdCommand::cmClose);
    EXPECT_EQ(ReadCommand(ini, "s", "c2"), TStdCommand::cmMinimizeToTray);
    EXPECT_EQ(ReadCommand(ini, "s", "c3"), TStdCommand::cmRollUp);
    EXPECT_EQ(ReadCommand(ini, "s", "missing"), TStdCommand::cmDefault);
    EXPECT_EQ(static_cast<int>(TStdCommand::cmMinimizeToTray), 6);
    for (int i = 0; i <= 6; ++i)
        EXPECT_EQ(ParseMorphKind(MorphKindToStr(static_cast<TMorphKind>(i))), static_cast<TMorphKind>(i));
}

TEST(SkinValues, StringListsByCountAndNumberedKeys) {
    const TksMemIniFile ini =
        Ini("[p]\nactivepicturescount=4\n0=a.bmp\n2=c.bmp\n3=d.bmp\n"
            "[q]\nxcount=2147483647\n0=only\n[r]\nxcount=-3\n0=x\n");
    TStringList list;
    ReadStringList(ini, "p", "activepictures", list);
    EXPECT_EQ(list.ToVector(), (std::vector<std::string>{"a.bmp", "", "c.bmp", "d.bmp"}));
    // A count far beyond the keys present stops at the last one.
    ReadStringList(ini, "q", "x", list);
    EXPECT_EQ(list.ToVector(), (std::vector<std::string>{"only"}));
    ReadStringList(ini, "r", "x", list);
    EXPECT_EQ(list.Count(), 0);

    TksMemIniFile out;
    WriteStringList(out, "p", "activepictures", list);
    TStringList names;
    names.Add("x.bmp");
    names.Add("y.bmp");
    WriteStringList(out, "p", "activepictures", names);
    ReadStringList(out, "p", "activepictures", list);
    EXPECT_EQ(list.ToVector(), names.ToVector());
}

}  // namespace
}  // namespace zv
