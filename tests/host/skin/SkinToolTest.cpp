// skintool: pack -> load -> unpack round trips, the builder's refusal, and
// the checker on a deliberately broken skin.
#include <gtest/gtest.h>

#include <sstream>

#include "SkinTestUtil.h"
#include "skin/SkinData.h"
#include "tools/skintool/SkinLint.h"
#include "tools/skintool/SkinTool.h"

namespace zv {
namespace {

struct TRun {
    int code = 0;
    std::string out, err;
};

TRun Tool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    TRun r;
    r.code = RunSkinTool(args, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

std::unique_ptr<TksSkinData> LoadStoredFile(const std::string& path) {
    TksCompressedStoredSkin stored(nullptr);
    stored.SetCompressedData(ReadStoredSkinFile(path));
    auto data = std::make_unique<TksSkinData>(nullptr);
    data->LoadCompressedSkin(stored);
    return data;
}

TEST(SkinTool, PackLoadUnpackGivesBackThePicturesAndTheSameDataObjects) {
    test::TScratchDir dir;
    const std::string basic = test::DataDir() + "/basic/";
    TRun r = Tool({"pack", basic + "skin.ini", dir.File("skin.zv")});
    ASSERT_EQ(r.code, 0) << r.err;
    auto data = LoadStoredFile(dir.File("skin.zv"));
    ASSERT_FALSE(data->Empty());

    // Pixel for pixel what the source files hold.
    const std::pair<const TksBitmap*, const char*> pictures[] = {{&data->Picture(), "main.bmp"},
                                                                 {&data->Mask(), "mask.bmp"},
                                                                 {data->ActivePicture(0), "active.bmp"},
                                                                 {data->ActivePicture(1), "pw.bmp"},
                                                                 {data->ActivePicture(2), "menuitems.bmp"},
                                                                 {data->ActivePicture(3), "hw.bmp"},
                                                                 {data->ActivePicture(4), "controls.bmp"}};
    for (const auto& [picture, file] : pictures) {
        ASSERT_NE(picture, nullptr) << file;
        TksBitmap source;
        source.LoadFromFile(basic + file);
        EXPECT_TRUE(picture->Pixels() == source.Pixels()) << file;
        EXPECT_EQ(picture->BitCount(), source.BitCount()) << file;  // the depth is kept
    }

    r = Tool({"unpack", dir.File("skin.zv"), dir.File("out")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    for (const char* file : {"main.bmp", "mask.bmp", "pw.bmp", "menuitems.bmp", "hw.bmp", "controls.bmp"})
        EXPECT_EQ(test::ReadFile(dir.File(std::string("out/") + file)), test::ReadFile(basic + file)) << file;
    // Written under the name the description gives.
    EXPECT_EQ(test::ReadFile(dir.File("out/active.BMP")), test::ReadFile(basic + "active.bmp"));

    // Packing what was unpacked gives the same skin again.
    r = Tool({"pack", dir.File("out/skin.ini"), dir.File("again.zv"), "--format", "property"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto again = LoadStoredFile(dir.File("again.zv"));
    EXPECT_EQ(test::DumpSkin(*again), test::DumpSkin(*data));
    EXPECT_EQ(test::ReadFile(dir.File("again.zv")).size(), test::ReadFile(dir.File("skin.zv")).size() + 4);
    ASSERT_EQ(again->ActivePictureCount(), data->ActivePictureCount());
    for (int i = 0; i < data->ActivePictureCount(); ++i)
        EXPECT_EQ(again->ActivePicture(i)->FileBytes(), data->ActivePicture(i)->FileBytes());
}

TEST(SkinTool, PackRefusesADescriptionWithoutARequiredSection) {
    test::TScratchDir dir;
    test::WriteFile(dir.File("skin.ini"), "[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\n");
    const TRun r = Tool({"pack", dir.File("skin.ini"), dir.File("skin.zv")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("[SKINCONTROLS] is missing"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("skin.zv")));
}

TEST(SkinTool, LintFindsNothingInTheTestSkin) {
    test::TScratchDir dir;
    ASSERT_EQ(Tool({"pack", test::DataDir() + "/basic/skin.ini", dir.File("skin.zv")}).code, 0);
    const TRun r = Tool({"lint", dir.File("skin.zv")});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_NE(r.out.find("no problems"), std::string::npos);
}

TEST(SkinTool, LintReportsEveryProblemOfTheBrokenSkin) {
    test::TScratchDir dir;
    const TRun pack =
        Tool({"pack", test::DataDir() + "/broken/skin.ini", dir.File("broken.zv"), "--format", "file"});
    ASSERT_EQ(pack.code, 0) << pack.err;
    const TRun r = Tool({"lint", dir.File("broken.zv")});
    EXPECT_EQ(r.code, 1);
    const char* expected[] = {
        "[SKINOBJECTS] entry 6 'menubarclosebutton:mainmenubarbuton' has the unknown kind 'mainmenubarbuton'",
        "[SKINCONTROLS] count is 12 but entries stop at 11",
        "[SKINCONTROLS] entry 10 'toolpanel:Panel' has the unknown kind 'Panel'",
        "[FORMINFO] top band middle has length 0 but is tiled",
        "[HINTWINDOW] windowpictureindex 7 names no picture (5 active pictures)",
        "[button] skinrect 330,1,365,26 lies outside its picture (350 x 190)",
        "[panel] left band middle has length 0 but is tiled",
        "[checklistbox] names scroll bar 'vscrolbar', which is no scroll bar entry",
        "8 problem(s)",
    };
    for (const char* e : expected) EXPECT_NE(r.out.find(e), std::string::npos) << e << "\n" << r.out;
}

TEST(SkinTool, LintReportsMissingSectionsAndLayoutsThatCannotTile) {
    TksSkinContainer c;
    c.Version = 2;
    test::TBmpShape shape;
    shape.width = 40;
    shape.height = 30;
    shape.bits = 8;
    c.Picture = test::BitmapOf(shape);
    c.ActivePictures.push_back(std::make_unique<TksBitmap>(test::BitmapOf(shape)));
    c.Description =
        "[PICTURES]\n[SKINCONTROLS]\ncount=3\n0=h:button\n1=v:panel\n2=n:panel\n"
        "[h]\npictureindex=0\nskinrect=0,0,20,10\nlefttoppoint=5,0\nrighttoppoint=5,0\n"
        "[v]\npictureindex=0\nskinrect=0,0,20,20\nleftbottompoint=0,3\nlefttoppoint=0,3\nstretcheffect=1\n"
        "[n]\npictureindex=0\nskinrect=0,0,20,20\nlefttoppoint=2,2\nrighttoppoint=18,2\nleftbottompoint=2,"
        "18\n"
        "rightbottompoint=18,18\nclientrect=2,2,2,18\n[SKINOBJECTS]\ncount=1\n0=m:menuitem\n"
        "[m]\nactivepictureindex=0\nskinrect=0,0,30,10\nitemleftoffset=15\nitemrightoffset=15\n";
    TksCompressedStoredSkin stored(nullptr);
    test::SetStored(stored, c);
    const std::vector<TksLintProblem> problems = LintStoredSkin(stored);
    std::string all;
    for (const TksLintProblem& p : problems) all += "[" + p.Where + "] " + p.Message + "\n";
    EXPECT_NE(all.find("[VERSION] required section is missing"), std::string::npos) << all;
    EXPECT_NE(all.find("[FORMINFO] required section is missing"), std::string::npos) << all;
    EXPECT_NE(all.find("[h] horizontal layout with a middle of width 0"), std::string::npos) << all;
    EXPECT_EQ(all.find("[v]"), std::string::npos) << "stretched middles do not tile\n" << all;
    EXPECT_NE(all.find("[n] nine-part layout with an empty clientrect"), std::string::npos) << all;
    EXPECT_NE(all.find("[m] entry look has no middle"), std::string::npos) << all;
}

TEST(SkinTool, LintReportsContainersTheProgramCannotLoad) {
    TksSkinContainer newer;
    newer.Version = 4;
    TksCompressedStoredSkin stored(nullptr);
    test::SetStored(stored, newer);
    std::vector<TksLintProblem> p = LintStoredSkin(stored);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].Message, "version 4 is not read by the program: the skin stays empty");

    stored.SetCompressedData({0x78, 0xDA, 1, 2, 3});
    p = LintStoredSkin(stored);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].Message, "cannot be read: compression error");

    TksSkinContainer bad;
    bad.Description = "[SKINAREAS]\ncount=1\n0=a:1,2\n";
    test::SetStored(stored, bad);
    p = LintStoredSkin(stored);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].Message, "loading fails: '' is not a valid integer value");
}

TEST(SkinTool, UnpackFallsBackToOwnNamesWhereTheDescriptionGivesNone) {
    TksSkinContainer c;
    c.Version = 3;
    test::TBmpShape shape;
    c.Picture = test::BitmapOf(shape);
    shape.bits = 8;
    c.InActivePicture = test::BitmapOf(shape);
    c.ActivePictures.push_back(std::make_unique<TksBitmap>(test::BitmapOf(shape)));
    c.Description = "[PICTURES]\npicture=..\\evil.bmp\n";
    test::TScratchDir dir;
    test::WriteFile(dir.File("skin.zv"), test::CompressContainer(c));
    const TRun r = Tool({"unpack", dir.File("skin.zv"), dir.File("out")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(std::filesystem::exists(dir.File("out/picture.bmp")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("out/inactivepicture.bmp")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("out/active0.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("evil.bmp")));
    EXPECT_NE(r.err.find("not a plain relative name"), std::string::npos);
    EXPECT_EQ(test::ReadFile(dir.File("out/inactivepicture.bmp")), c.InActivePicture.FileBytes());
}

TEST(SkinTool, UsageErrors) {
    EXPECT_EQ(Tool({}).code, 2);
    EXPECT_EQ(Tool({"preview"}).code, 2);
    EXPECT_EQ(Tool({"pack", "only-one"}).code, 2);
    EXPECT_EQ(Tool({"lint", "/nonexistent/skin.zv"}).code, 1);
}

}  // namespace
}  // namespace zv
