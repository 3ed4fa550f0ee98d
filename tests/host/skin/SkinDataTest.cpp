// The stored skin and the skin data: container versions and slots, the load
// sequence and its messages, failures, parse order, normalisation, lists and
// lookups, and the builder.
#include <gtest/gtest.h>

#include <filesystem>
#include <typeinfo>

#include "SkinTestUtil.h"
#include "base/Exceptions.h"
#include "skin/SkinData.h"

namespace zv {
namespace {

using test::BitmapOf;
using test::TBmpShape;

class TTestForm : public TComponent {
public:
    using TComponent::TComponent;
};

struct TSent {
    TComponent* form;
    unsigned message;
};

class TRecordingHook : public TksSkinMessageHook {
public:
    std::vector<TComponent*> forms;
    std::vector<TSent> sent;
    TksSkinData* expectedData = nullptr;
    std::function<void(unsigned)> onSend;

    bool IsForm(TComponent* c) override { return dynamic_cast<TTestForm*>(c) != nullptr; }
    std::vector<TComponent*> Forms() override { return forms; }
    void SendSkinMessage(TComponent* form, unsigned message, TksSkinData* data, int lParam) override {
        EXPECT_EQ(lParam, 1000);
        if (expectedData) {
            EXPECT_EQ(data, expectedData);
        }
        sent.push_back({form, message});
        if (onSend) onSend(message);
    }
    std::vector<unsigned> Messages() const {
        std::vector<unsigned> m;
        for (const TSent& s : sent) m.push_back(s.message);
        return m;
    }
};

class SkinDataTest : public ::testing::Test {
protected:
    void SetUp() override { m_previous = SetSkinMessageHook(&hook); }
    void TearDown() override { SetSkinMessageHook(m_previous); }
    TRecordingHook hook;

private:
    TksSkinMessageHook* m_previous = nullptr;
};

TBmpShape Shape(int w, int h, int bits) {
    TBmpShape s;
    s.width = w;
    s.height = h;
    s.bits = bits;
    return s;
}

const char* kMinimalDescription =
    "[VERSION]\r\nskinname=Mini\r\n[PICTURES]\r\npicture=p.bmp\r\nmask=m.bmp\r\n"
    "[FORMINFO]\r\nclientrect=2,3,8,9\r\n[SKINOBJECTS]\r\ncount=0\r\n[SKINCONTROLS]\r\ncount=1\r\n0=button:"
    "button\r\n"
    "[button]\r\npictureindex=0\r\nskinrect=0,0,4,4\r\n";

TksSkinContainer Container(int version, int activeCount = 2) {
    TksSkinContainer c;
    c.Version = version;
    c.Picture = BitmapOf(Shape(10, 12, 8));
    c.InActivePicture = BitmapOf(Shape(10, 12, 24));
    c.Mask = BitmapOf(Shape(10, 12, 1));
    c.RollUpPicture = BitmapOf(Shape(10, 4, 4));
    c.RollUpMask = BitmapOf(Shape(10, 4, 1));
    for (int i = 0; i < activeCount; ++i)
        c.ActivePictures.push_back(std::make_unique<TksBitmap>(BitmapOf(Shape(5 + i, 3, i % 2 ? 32 : 16))));
    c.Description = kMinimalDescription;
    return c;
}

TEST_F(SkinDataTest, LoadSendsMessagesToTheOwnerFormFirstThenEveryOtherFormOnce) {
    TTestForm other1(nullptr), owner(nullptr), other2(nullptr);
    hook.forms = {&other1, &owner, &other2, &other1};
    TksCompressedStoredSkin stored(&owner);
    test::SetStored(stored, Container(2));
    auto* data = new TksSkinData(&owner);
    hook.expectedData = data;
    bool emptyWhenChanged = true;
    hook.onSend = [&](unsigned m) {
        if (m == WM_SKINCHANGED) emptyWhenChanged = data->Empty();
    };
    EXPECT_TRUE(data->Empty());
    data->SetCompressedStoredSkin(&stored);
    EXPECT_FALSE(data->Empty());
    EXPECT_FALSE(emptyWhenChanged);
    const std::vector<TComponent*> order = {&owner, &other1, &other2};
    ASSERT_EQ(hook.sent.size(), 9u);
    const unsigned messages[] = {WM_SKINCHANGING, WM_SKINCHANGED, WM_SKINCHANGEDONE};
    for (std::size_t m = 0; m < 3; ++m)
        for (std::size_t f = 0; f < 3; ++f) {
            EXPECT_EQ(hook.sent[m * 3 + f].message, messages[m]);
            EXPECT_EQ(hook.sent[m * 3 + f].form, order[f]);
        }
}

TEST_F(SkinDataTest, OwnerThatIsNoFormIsNotSentTo) {
    TComponent module(nullptr);
    TTestForm form(nullptr);
    hook.forms = {&form};
    TksSkinData data(&module);
    TksCompressedStoredSkin stored(nullptr);
    test::SetStored(stored, Container(2));
    data.LoadCompressedSkin(stored);
    ASSERT_EQ(hook.sent.size(), 3u);
    for (const TSent& s : hook.sent) EXPECT_EQ(s.form, &form);
}

TEST_F(SkinDataTest, EmptyStoredSkinChangesNothingAndSendsNothing) {
    TTestForm form(nullptr);
    hook.forms = {&form};
    TksSkinData data(&form);
    TksCompressedStoredSkin stored(nullptr);
    data.SetCompressedStoredSkin(&stored);
    EXPECT_TRUE(data.Empty());
    EXPECT_TRUE(hook.sent.empty());
    EXPECT_EQ(data.CompressedStoredSkin(), &stored);
}

TEST_F(SkinDataTest, SlotsPresentByVersion) {
    struct {
        int version;
        bool inactive, rollUp;
    } cases[] = {{-5, false, false}, {0, false, false}, {1, false, true}, {2, true, true}, {3, true, false}};
    for (const auto& c : cases) {
        TksSkinData data(nullptr);
        TksCompressedStoredSkin stored(nullptr);
        const TksSkinContainer source = Container(c.version);
        test::SetStored(stored, source);
        data.LoadCompressedSkin(stored);
        EXPECT_FALSE(data.Empty()) << c.version;
        EXPECT_TRUE(data.Picture().Pixels() == source.Picture.Pixels());
        EXPECT_TRUE(data.Mask().Pixels() == source.Mask.Pixels());
        EXPECT_EQ(data.InActivePicture().Empty(), !c.inactive) << c.version;
        EXPECT_EQ(data.RollUpPicture().Empty(), !c.rollUp) << c.version;
        EXPECT_EQ(data.RollUpMask().Empty(), !c.rollUp) << c.version;
        if (c.inactive) {
            EXPECT_TRUE(data.InActivePicture().Pixels() == source.InActivePicture.Pixels());
        }
        if (c.rollUp) {
            EXPECT_TRUE(data.RollUpPicture().Pixels() == source.RollUpPicture.Pixels());
        }
        ASSERT_EQ(data.ActivePictureCount(), 2);
        for (int i = 0; i < 2; ++i)
            EXPECT_TRUE(data.ActivePicture(i)->Pixels() ==
                        source.ActivePictures[static_cast<std::size_t>(i)]->Pixels());
        EXPECT_EQ(data.SkinName(), "Mini") << "description read behind the slots of version " << c.version;
        EXPECT_EQ(data.SkinControlCount(), 1);
    }
}

TEST_F(SkinDataTest, EmptySlotFlagAndZeroActivePicturesKeepTheFieldsAligned) {
    TksSkinContainer c = Container(2, 0);
    c.Picture.Clear();
    c.RollUpMask.Clear();
    const std::vector<std::uint8_t> raw = test::ContainerBytes(c);
    // version, flag 1 (picture), flag 0 + file (inactive) ...
    EXPECT_EQ(raw[4], 1);
    EXPECT_EQ(raw[5], 0);
    EXPECT_EQ(raw[6], 'B');
    // The description starts right after a count of 0.
    const std::string tail(raw.end() - static_cast<std::ptrdiff_t>(c.Description.size()) - 4, raw.end());
    EXPECT_EQ(tail.substr(0, 4), std::string(4, '\0'));

    TksSkinData data(nullptr);
    TksCompressedStoredSkin stored(nullptr);
    stored.SetCompressedData(ZCompress(raw.data(), raw.size()));
    data.LoadCompressedSkin(stored);
    EXPECT_TRUE(data.Picture().Empty());
    EXPECT_FALSE(data.Mask().Empty());
    EXPECT_TRUE(data.RollUpMask().Empty());
    EXPECT_EQ(data.ActivePictureCount(), 0);
    EXPECT_EQ(data.ActivePicture(0), nullptr);
    EXPECT_EQ(data.ActivePicture(-1), nullptr);
    EXPECT_EQ(data.SkinName(), "Mini");
}

TEST_F(SkinDataTest, NegativeActivePictureCountMeansNone) {
    TksSkinContainer c = Container(0, 0);
    std::vector<std::uint8_t> raw = test::ContainerBytes(c);
    const std::size_t countAt = raw.size() - c.Description.size() - 4;
    WriteU32LE(raw.data() + countAt, static_cast<std::uint32_t>(-7));
    TksSkinData data(nullptr);
    TksCompressedStoredSkin stored(nullptr);
    stored.SetCompressedData(ZCompress(raw.data(), raw.size()));
    data.LoadCompressedSkin(stored);
    EXPECT_EQ(data.ActivePictureCount(), 0);
    EXPECT_EQ(data.SkinName(), "Mini");
}

TEST_F(SkinDataTest, NewerContainerLeavesTheSkinClearedAndEmpty) {
    TTestForm form(nullptr);
    hook.forms = {&form};
    TksSkinData data(&form);
    TksCompressedStoredSkin good(nullptr), newer(nullptr);
    test::SetStored(good, Container(2));
    data.LoadCompressedSkin(good);
    ASSERT_FALSE(data.Empty());
    hook.sent.clear();
    test::SetStored(newer, Container(4));
    data.LoadCompressedSkin(newer);
    EXPECT_TRUE(data.Empty());
    EXPECT_EQ(hook.Messages(), std::vector<unsigned>{WM_SKINCHANGING});
    EXPECT_TRUE(data.Picture().Empty());
    EXPECT_EQ(data.ActivePictureCount(), 0);
    EXPECT_EQ(data.SkinControlCount(), 0);
}

TEST_F(SkinDataTest, LineEndsOfAnyKindParseTheSame) {
    auto load = [](const std::string& description) {
        TksSkinContainer c = Container(2);
        c.Description = description;
        TksCompressedStoredSkin stored(nullptr);
        test::SetStored(stored, c);
        auto data = std::make_unique<TksSkinData>(nullptr);
        data->LoadCompressedSkin(stored);
        return test::DumpSkin(*data);
    };
    std::string lf, cr;
    for (char ch : std::string(kMinimalDescription)) {
        if (ch != '\r') lf += ch;
        if (ch != '\n') cr += ch;
    }
    const std::string crlf = load(kMinimalDescription);
    EXPECT_NE(crlf.find("skinrect=0,0,4,4"), std::string::npos);
    EXPECT_EQ(load(lf), crlf);
    EXPECT_EQ(load(cr), crlf);
}

template <typename E>
void ExpectLoadFails(TksSkinData& data, TRecordingHook& hook, const std::vector<std::uint8_t>& compressed,
                     const char* message) {
    hook.sent.clear();
    TksCompressedStoredSkin stored(nullptr);
    stored.SetCompressedData(compressed);
    try {
        data.LoadCompressedSkin(stored);
        ADD_FAILURE() << "no error, expected " << message;
    } catch (const E& e) {
        EXPECT_EQ(e.Message(), message);
    }
    EXPECT_TRUE(data.Empty());
    EXPECT_EQ(hook.Messages(), std::vector<unsigned>{WM_SKINCHANGING});
}

TEST_F(SkinDataTest, FailuresPropagateAndLeaveTheSkinEmpty) {
    TTestForm form(nullptr);
    hook.forms = {&form};
    TksSkinData data(&form);
    const std::vector<std::uint8_t> good = test::CompressContainer(Container(2));

    std::vector<std::uint8_t> damaged = good;
    damaged[damaged.size() / 2] ^= 0x55;
    ExpectLoadFails<EZLibError>(data, hook, damaged, "compression error");
    std::vector<std::uint8_t> truncated(good.begin(),
                                        good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    ExpectLoadFails<EZLibError>(data, hook, truncated, "compression error");
    ExpectLoadFails<EZLibError>(data, hook, {'n', 'o', 't', ' ', 'z'}, "compression error");

    // A slot that is no bitmap file, and a container ending inside one.
    std::vector<std::uint8_t> raw = test::ContainerBytes(Container(2));
    std::vector<std::uint8_t> noBM = raw;
    noBM[5] = 'X';
    ExpectLoadFails<EInvalidGraphic>(data, hook, ZCompress(noBM.data(), noBM.size()),
                                     "Bitmap image is not valid");
    std::vector<std::uint8_t> planes = raw;
    planes[5 + 26] = 3;
    ExpectLoadFails<EInvalidGraphic>(data, hook, ZCompress(planes.data(), planes.size()),
                                     "Bitmap image is not valid");
    std::vector<std::uint8_t> cut(raw.begin(), raw.begin() + 200);
    ExpectLoadFails<EReadError>(data, hook, ZCompress(cut.data(), cut.size()), "Stream read error");
    std::vector<std::uint8_t> noVersion = {1, 0};
    ExpectLoadFails<EReadError>(data, hook, ZCompress(noVersion.data(), noVersion.size()),
                                "Stream read error");
}

TEST_F(SkinDataTest, ConversionErrorEndsTheLoadKeepingTheEntriesReadSoFar) {
    TksSkinContainer c = Container(2);
    c.Description =
        "[SKINOBJECTS]\ncount=2\n0=caption:caption\n1=close:stdbutton\n[caption]\ntextrect=1,2,3,4\n"
        "[close]\nskinrect=1,2,,4\n[SKINCONTROLS]\ncount=1\n0=panel:panel\n";
    TTestForm form(nullptr);
    hook.forms = {&form};
    TksSkinData data(nullptr);
    const std::vector<std::uint8_t> bytes = test::CompressContainer(c);
    ExpectLoadFails<EConvertError>(data, hook, bytes, "'' is not a valid integer value");
    ASSERT_EQ(data.SkinObjectCount(), 2);  // the failing object was appended before reading
    EXPECT_EQ(data.SkinObjects(0)->IDName, "caption");
    EXPECT_EQ(data.SkinControlCount(), 0);  // never reached
}

TEST_F(SkinDataTest, PointWithTooManyNumbersIsRejected) {
    TksSkinData data(nullptr);
    TStringList lines;
    lines.SetText("[FORMINFO]\nlefttoppoint=1,2,3\n");
    EXPECT_THROW(data.LoadDescription(lines), EConvertError);
    EXPECT_EQ(data.FormInfo().LeftTopPoint, Point(0, 0));
}

TEST_F(SkinDataTest, ListsKeepEntryOrderAndSkipUnknownKindsAndMissingEntries) {
    TksSkinData data(nullptr);
    TStringList lines;
    lines.SetText(
        "[SKINAREAS]\ncount=3\n0=top:1,2,3,4\n1=nocolon\n2=bottom:5,6,7,8\n"
        "[SKINOBJECTS]\ncount=5\n0=a:stdbutton\n1=b:StdButton\n2=c:\n3=d:caption\n"
        "[SKINCONTROLS]\nCOUNT=6\n0=panel:panel\n1=x:scrollbar\n2=Panel:panel\n4=y:nokind\n5=z:stdlabel\n"
        "[panel]\nfontheight=12\n");
    data.LoadDescription(lines);
    ASSERT_EQ(data.SkinAreaCount(), 2);
    EXPECT_EQ(data.SkinAreas(1)->IDName, "bottom");
    EXPECT_EQ(data.SkinAreas(1)->AreaRect, Rect(5, 6, 7, 8));
    ASSERT_EQ(data.SkinObjectCount(), 2);
    EXPECT_EQ(data.IndexOfObject("d"), 1);
    EXPECT_EQ(data.IndexOfObject("b"), -1);
    ASSERT_EQ(data.SkinControlCount(), 4);
    EXPECT_EQ(data.IndexOfControl("panel"), 0);
    EXPECT_EQ(data.IndexOfControl("Panel"), 2);  // first exact match, case counts
    EXPECT_EQ(data.IndexOfControl("PANEL"), -1);
    EXPECT_EQ(data.IndexOfControl("z"), 3);
    EXPECT_EQ(data.IndexOfArea("top"), 0);
    EXPECT_EQ(data.IndexOfArea("Top"), -1);
    // Both entries read the section [panel] (names compare without case there).
    EXPECT_EQ(dynamic_cast<TksDataSkinPanelControl*>(data.SkinControls(2))->FontHeight, 12);
    EXPECT_THROW((void)data.SkinControls(4), EListError);
}

TEST_F(SkinDataTest, EveryObjectAndControlKindIsRecognised) {
    const std::pair<const char*, const char*> objects[] = {
        {"menuitem", "TksDataSkinMenuItem"},
        {"mainmenubaritem", "TksDataSkinMainMenuBarItem"},
        {"mainmenuitem", "TksDataSkinMainMenuItem"},
        {"stdbutton", "TksDataSkinStdButton"},
        {"mainmenubarbutton", "TksDataSkinMainMenuBarButton"},
        {"button", "TksDataSkinButton"},
        {"caption", "TksDataSkinCaption"},
        {"trackbar", "TksDataSkinTrackBar"},
        {"gauge", "TksDataSkinGauge"},
        {"framegauge", "TksDataSkinFrameGaugeObject"},
        {"frameregulator", "TksDataSkinFrameRegulatorObject"},
        {"label", "TksDataSkinLabel"},
        {"bitlabel", "TksDataSkinBitLabel"},
        {"switch", "TksDataSkinSwitch"},
        {"animate", "TksDataSkinAnimate"},
        {"userobject", "TksDataUserObject"},
    };
    const std::pair<const char*, const char*> controls[] = {
        {"slider", "TksDataSkinSlider"},
        {"bevel", "TksDataSkinBevel"},
        {"panel", "TksDataSkinPanelControl"},
        {"expanel", "TksDataSkinExPanelControl"},
        {"menubutton", "TksDataSkinMenuButtonControl"},
        {"button", "TksDataSkinButtonControl"},
        {"checkradio", "TksDataSkinCheckRadioControl"},
        {"gauge", "TksDataSkinGaugeControl"},
        {"splitter", "TksDataSkinSplitterControl"},
        {"trackbar", "TksDataSkinTrackBarControl"},
        {"label", "TksDataSkinLabelControl"},
        {"stdlabel", "TksDataSkinStdLabelControl"},
        {"bitlabel", "TksDataSkinBitLabelControl"},
        {"frameregulator", "TksDataSkinFrameRegulator"},
        {"framegauge", "TksDataSkinFrameGauge"},
        {"animate", "TksDataSkinAnimateControl"},
        {"updown", "TksDataSkinUpDownControl"},
        {"switch", "TksDataSkinSwitchControl"},
        {"grid", "TksDataSkinGridControl"},
        {"tab", "TksDataSkinTabControl"},
        {"mainmenubar", "TksDataSkinMainMenuBar"},
        {"controlbar", "TksDataSkinControlBar"},
        {"memo", "TksDataSkinMemoControl"},
        {"edit", "TksDataSkinEditControl"},
        {"checklistbox", "TksDataSkinCheckListBox"},
        {"listbox", "TksDataSkinListBox"},
        {"combobox", "TksDataSkinComboBox"},
        {"scrollbar", "TksDataSkinScrollBarControl"},
        {"spinedit", "TksDataSkinSpinEditControl"},
        {"scrollbox", "TksDataSkinScrollBoxControl"},
        {"treeview", "TksDataSkinTreeView"},
        {"listview", "TksDataSkinListView"},
        {"richedit", "TksDataSkinRichEdit"},
    };
    std::string text = "[SKINOBJECTS]\ncount=16\n";
    for (int i = 0; i < 16; ++i)
        text += std::to_string(i) + "=o" + std::to_string(i) + ":" + objects[i].first + "\n";
    text += "[SKINCONTROLS]\ncount=33\n";
    for (int i = 0; i < 33; ++i)
        text += std::to_string(i) + "=c" + std::to_string(i) + ":" + controls[i].first + "\n";
    TksSkinData data(nullptr);
    TStringList lines;
    lines.SetText(text);
    data.LoadDescription(lines);
    ASSERT_EQ(data.SkinObjectCount(), 16);
    ASSERT_EQ(data.SkinControlCount(), 33);
    for (int i = 0; i < 16; ++i) EXPECT_STREQ(data.SkinObjects(i)->ClassName(), objects[i].second);
    for (int i = 0; i < 33; ++i) EXPECT_STREQ(data.SkinControls(i)->ClassName(), controls[i].second);
    // Class tree: a derived class is found as its parent, as the controls test.
    EXPECT_NE(dynamic_cast<TksDataSkinStdButton*>(data.SkinObjects(4)), nullptr);
    EXPECT_NE(dynamic_cast<TksDataSkinButton*>(data.SkinObjects(3)), nullptr);
    EXPECT_NE(dynamic_cast<TksDataSkinMainMenuItem*>(data.SkinObjects(1)), nullptr);
    EXPECT_NE(dynamic_cast<TksDataSkinListBox*>(data.SkinControls(24)), nullptr);
    EXPECT_NE(dynamic_cast<TksDataSkinButtonControl*>(data.SkinControls(4)), nullptr);
    EXPECT_NE(dynamic_cast<TksDataSkinEditControl*>(data.SkinControls(22)), nullptr);
    EXPECT_NE(dynamic_cast<TksDataSkinFrameControl*>(data.SkinControls(15)), nullptr);
    EXPECT_EQ(dynamic_cast<TksDataSkinCustomControl*>(data.SkinControls(11)), nullptr);  // std label
    EXPECT_EQ(dynamic_cast<TksDataSkinCustomControl*>(data.SkinControls(1)), nullptr);   // bevel
}

std::unique_ptr<TksDataSkinFormInfo> NormalizedFormInfo(const std::string& formInfo,
                                                        const std::string& mask) {
    TksSkinData data(nullptr);
    TStringList lines;
    lines.SetText("[PICTURES]\nmask=" + mask + "\n[FORMINFO]\n" + formInfo);
    data.LoadDescription(lines);
    auto out = std::make_unique<TksDataSkinFormInfo>();
    TksMemIniFile ini;
    const_cast<TksDataSkinFormInfo&>(data.FormInfo()).SaveToIni(ini, "f");
    out->LoadFromIni(ini, "f");
    return out;
}

TEST(SkinFormInfo, MaskRectangleAndHitTestPointsWithAMask) {
    const std::string geometry =
        "lefttoppoint=34,26\nrighttoppoint=80,28\nleftbottompoint=8,131\nrightbottompoint=151,131\n"
        "clientrect=5,24,157,135\nhittestlefttoppoint=0,7\nhittestrighttoppoint=153,8\n"
        "hittestleftbottompoint=6,0\n";
    auto fi = NormalizedFormInfo(geometry, "mask.bmp");
    EXPECT_EQ(fi->MaskRectArea, Rect(5, 24, 157, 135));  // empty: a copy of the client rect
    EXPECT_EQ(fi->HitTestLeftTopPoint, Point(34, 26));   // x = 0 counts as unset
    EXPECT_EQ(fi->HitTestRightTopPoint, Point(153, 8));
    EXPECT_EQ(fi->HitTestLeftBottomPoint, Point(8, 131));
    EXPECT_EQ(fi->HitTestRightBottomPoint, Point(151, 131));

    fi = NormalizedFormInfo(geometry + "maskrectarea=10,3,159,100\n", "mask.bmp");
    EXPECT_EQ(fi->MaskRectArea, Rect(5, 3, 159, 135));  // widened to cover the client rect

    fi = NormalizedFormInfo(geometry, "");
    EXPECT_EQ(fi->MaskRectArea, Rect(0, 0, 0, 0));
    EXPECT_EQ(fi->HitTestLeftTopPoint, Point(0, 7));
}

TEST(SkinFormInfo, CornerPointsArePulledIntoTheClientRect) {
    auto fi = NormalizedFormInfo(
        "lefttoppoint=1,2\nrighttoppoint=200,1\nleftbottompoint=0,300\nrightbottompoint=190,310\n"
        "clientrect=5,24,157,135\n",
        "");
    EXPECT_EQ(fi->LeftTopPoint, Point(5, 24));
    EXPECT_EQ(fi->RightTopPoint, Point(157, 24));
    EXPECT_EQ(fi->LeftBottomPoint, Point(5, 135));
    EXPECT_EQ(fi->RightBottomPoint, Point(157, 135));

    // Degenerate corners (rightbottom.x = lefttop.x) are left alone.
    fi = NormalizedFormInfo("lefttoppoint=1,2\nrightbottompoint=1,310\nclientrect=5,24,157,135\n", "");
    EXPECT_EQ(fi->LeftTopPoint, Point(1, 2));
    EXPECT_EQ(fi->RightBottomPoint, Point(1, 310));

    // The installer's own values are unchanged.
    const std::string program =
        "lefttoppoint=34,26\nrighttoppoint=80,28\nleftbottompoint=8,131\nrightbottompoint=151,131\n"
        "clientrect=5,24,157,135\nmaskrectarea=4,3,159,137\nhittestlefttoppoint=9,9\n"
        "hittestrighttoppoint=153,8\nhittestleftbottompoint=6,133\nhittestrightbottompoint=154,132\n";
    fi = NormalizedFormInfo(program, "mask.bmp");
    EXPECT_EQ(fi->LeftTopPoint, Point(34, 26));
    EXPECT_EQ(fi->RightBottomPoint, Point(151, 131));
    EXPECT_EQ(fi->MaskRectArea, Rect(4, 3, 159, 137));
    EXPECT_EQ(fi->HitTestRightBottomPoint, Point(154, 132));
}

TEST_F(SkinDataTest, TheTestSkinReadsIntoTheDataObjects) {
    TksCompressedStoredSkin stored(nullptr);
    ASSERT_TRUE(stored.LoadFromSkinFile(test::DataDir() + "/basic/skin.ini"));
    EXPECT_EQ(stored.FileName(), "skin.ini");
    ASSERT_GE(stored.CompressedData().size(), 2u);
    EXPECT_EQ(stored.CompressedData()[0], 0x78);
    EXPECT_EQ(stored.CompressedData()[1], 0xDA);
    TksSkinData data(nullptr);
    data.SetCompressedStoredSkin(&stored);
    ASSERT_FALSE(data.Empty());

    EXPECT_EQ(data.SkinName(), "Zorvane Test Skin");
    EXPECT_EQ(data.AuthorURL(), "http://zorvane.invalid/");
    EXPECT_EQ(data.PictureName(), "main.bmp");
    EXPECT_EQ(data.MaskName(), "mask.bmp");
    EXPECT_EQ(data.RollUpPictureName(), "");
    EXPECT_EQ(data.ActivePicturesNames().ToVector(),
              (std::vector<std::string>{"active.BMP", "pw.bmp", "menuitems.bmp", "hw.bmp", "controls.bmp"}));
    EXPECT_EQ(data.Picture().Width(), 162);
    EXPECT_EQ(data.Picture().BitCount(), 8);
    EXPECT_EQ(data.Mask().BitCount(), 1);
    EXPECT_TRUE(data.InActivePicture().Empty());
    ASSERT_EQ(data.ActivePictureCount(), 5);
    EXPECT_EQ(data.ActivePicture(4)->Width(), 350);

    const TksDataSkinFormInfo& fi = data.FormInfo();
    EXPECT_EQ(fi.ClientRect, Rect(5, 24, 157, 135));
    EXPECT_EQ(fi.ButtonsRect, Rect(92, 5, 154, 21));
    EXPECT_EQ(fi.ButtonsOffset, 1);
    EXPECT_EQ(fi.BorderWidth, 3);
    EXPECT_EQ(fi.BGPictureIndex, -1);
    EXPECT_EQ(fi.InActiveEffect, TInActiveEffect::ieBrightness);
    EXPECT_EQ(data.PopupWindow().WindowPictureIndex, 1);
    EXPECT_EQ(data.PopupWindow().ItemsRect, Rect(2, 2, 86, 78));
    EXPECT_EQ(data.PopupWindow().ScrollMarkerActiveColor, 12615680);
    EXPECT_EQ(data.HintWindow().FontName, "Tahoma");
    EXPECT_EQ(data.HintWindow().FontStyle, static_cast<TFontStyles>(fsItalic));
    EXPECT_EQ(data.HintWindow().FontColor, 0xFF);

    ASSERT_EQ(data.SkinObjectCount(), 7);
    auto* caption = dynamic_cast<TksDataSkinCaption*>(data.SkinObjects(data.IndexOfObject("caption")));
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->FontStyle, static_cast<TFontStyles>(fsBold));
    EXPECT_TRUE(caption->Shadow);
    EXPECT_EQ(caption->ActiveFontColor, 16777215);
    EXPECT_EQ(caption->FontName, "Arial");
    auto* close = dynamic_cast<TksDataSkinStdButton*>(data.SkinObjects(data.IndexOfObject("closebutton")));
    ASSERT_NE(close, nullptr);
    EXPECT_TRUE(close->SkinRectInAPicture);
    EXPECT_EQ(close->DownRect, Rect(18, 57, 32, 71));
    EXPECT_EQ(close->Command, TStdCommand::cmClose);
    EXPECT_EQ(close->Hint, "Close");
    EXPECT_EQ(close->GroupIndex, -1);
    auto* sys = dynamic_cast<TksDataSkinStdButton*>(data.SkinObjects(data.IndexOfObject("sysmenubutton")));
    ASSERT_NE(sys, nullptr);
    EXPECT_EQ(sys->DisableSkinRect, Rect(52, 123, 65, 135));
    auto* menu = dynamic_cast<TksDataSkinMenuItem*>(data.SkinObjects(data.IndexOfObject("menuitem")));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->UnEnabledFontColor, 8421504);
    EXPECT_EQ(menu->DividerRect, Rect(0, 41, 68, 46));
    EXPECT_EQ(menu->DividerLeftOffset, 35);
    EXPECT_EQ(data.IndexOfObject("menubarclosebutton"), 6);

    ASSERT_EQ(data.SkinControlCount(), 10);
    auto* button = dynamic_cast<TksDataSkinButtonControl*>(data.SkinControls(data.IndexOfControl("button")));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->Morphing);
    EXPECT_EQ(button->MorphKind, TMorphKind::mkRightGradient);
    EXPECT_EQ(button->DisabledFontColor, 16777215);
    EXPECT_EQ(button->AnimateInterval, 25);
    EXPECT_EQ(button->RightTopPoint, Point(24, 13));
    auto* panel = dynamic_cast<TksDataSkinPanelControl*>(data.SkinControls(data.IndexOfControl("panel")));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->FontHeight, 12);  // section written [Panel]
    EXPECT_EQ(panel->SkinRect, Rect(141, 4, 200, 56));
    EXPECT_EQ(data.IndexOfControl("Panel"), -1);
    auto* label = dynamic_cast<TksDataSkinStdLabelControl*>(data.SkinControls(data.IndexOfControl("label")));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->FontColor, 0x80);
    EXPECT_EQ(label->ActiveFontColor, 16711680);  // default
    auto* box =
        dynamic_cast<TksDataSkinCheckListBox*>(data.SkinControls(data.IndexOfControl("checklistbox")));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->ItemRect, Rect(290, 75, 344, 96));
    EXPECT_EQ(box->ItemLeftOffset, 25);
    EXPECT_EQ(box->CheckImageRect, Rect(14, 76, 29, 91));
    EXPECT_EQ(box->VScrollBarName, "vscrollbar");
    EXPECT_EQ(box->BothHScrollBarName, "bothhscrollbar");
    auto* vbar =
        dynamic_cast<TksDataSkinScrollBarControl*>(data.SkinControls(data.IndexOfControl("vscrollbar")));
    ASSERT_NE(vbar, nullptr);
    EXPECT_EQ(vbar->ThumbOffset1, 4);
    EXPECT_EQ(vbar->GlyphRect, Rect(300, 60, 310, 70));
    auto* hbar =
        dynamic_cast<TksDataSkinScrollBarControl*>(data.SkinControls(data.IndexOfControl("hscrollbar")));
    ASSERT_NE(hbar, nullptr);
    EXPECT_TRUE(hbar->ThumbTransparent);
    EXPECT_EQ(hbar->ThumbTransparentColor, 0xFF00FF);
    auto* list = dynamic_cast<TksDataSkinListBox*>(data.SkinControls(data.IndexOfControl("listbox")));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->CaptionFontStyle, static_cast<TFontStyles>(fsBold | fsUnderline));
}

TEST_F(SkinDataTest, RecordsWriteBackWhatTheyRead) {
    TksCompressedStoredSkin stored(nullptr);
    ASSERT_TRUE(stored.LoadFromSkinFile(test::DataDir() + "/basic/skin.ini"));
    TksSkinData data(nullptr);
    data.LoadCompressedSkin(stored);
    TksMemIniFile ini;
    for (int i = 0; i < data.SkinControlCount(); ++i) {
        TksDataSkinControl* c = data.SkinControls(i);
        c->SaveToIni(ini);
        std::unique_ptr<TksDataSkinControl> same;
        // A fresh object of the same class reads the written section back.
        for (const char* kind : SkinControlKinds) {
            auto candidate = CreateSkinControl(kind);
            if (std::string(candidate->ClassName()) == c->ClassName()) same = std::move(candidate);
        }
        ASSERT_NE(same, nullptr);
        same->IDName = c->IDName;
        same->LoadFromIni(ini);
        EXPECT_EQ(same->Dump(), c->Dump());
    }
}

TEST_F(SkinDataTest, ClearSkinEmptiesEverything) {
    TksCompressedStoredSkin stored(nullptr);
    ASSERT_TRUE(stored.LoadFromSkinFile(test::DataDir() + "/basic/skin.ini"));
    TksSkinData data(nullptr);
    data.LoadCompressedSkin(stored);
    data.ClearSkin();
    EXPECT_TRUE(data.Empty());
    EXPECT_EQ(data.SkinObjectCount() + data.SkinControlCount() + data.SkinAreaCount(), 0);
    EXPECT_EQ(data.ActivePictureCount(), 0);
    EXPECT_TRUE(data.Picture().Empty());
    EXPECT_TRUE(data.Mask().Empty());
    EXPECT_EQ(data.PictureName(), "");
    EXPECT_EQ(data.ActivePicturesNames().Count(), 0);
    EXPECT_EQ(data.PopupWindow().WindowPictureIndex, -1);
    EXPECT_EQ(data.HintWindow().WindowPictureIndex, -1);
}

TEST_F(SkinDataTest, RemovalNotificationClearsTheReferenceAndKeepsTheSkin) {
    TTestForm form(nullptr);
    auto* data = new TksSkinData(&form);
    auto* stored = new TksCompressedStoredSkin(&form);
    test::SetStored(*stored, Container(2));
    data->SetCompressedStoredSkin(stored);
    delete stored;
    EXPECT_EQ(data->CompressedStoredSkin(), nullptr);
    EXPECT_FALSE(data->Empty());
    EXPECT_EQ(data->SkinControlCount(), 1);

    hook.sent.clear();
    auto* strings = new TksResourceStrData(nullptr);
    strings->ResStrings.Add("SF_CLOSE=&Schliessen");
    data->SetResourceStrData(strings);
    EXPECT_EQ(hook.Messages(), std::vector<unsigned>{WM_SKINSTRINGSCHANGED});
    EXPECT_EQ(data->ResourceStrData()->GetResStr("sf_close", ""), "&Schliessen");
    delete strings;
    EXPECT_EQ(data->ResourceStrData(), nullptr);
    // The owner frees the skin data; nothing dangles.
}

TEST_F(SkinDataTest, ReloadFromTheSameStoredSkinGivesTheSameSkin) {
    TksCompressedStoredSkin stored(nullptr);
    ASSERT_TRUE(stored.LoadFromSkinFile(test::DataDir() + "/basic/skin.ini"));
    TksSkinData data(nullptr);
    data.SetCompressedStoredSkin(&stored);
    const std::string first = test::DumpSkin(data);
    data.SetCompressedStoredSkin(&stored);
    EXPECT_EQ(test::DumpSkin(data), first);  // lists are not appended to twice
    EXPECT_FALSE(stored.IsEmpty());          // unpacking does not consume the bytes
}

TEST(StoredSkin, TemplatePropertyAndCompressedFileForms) {
    TksCompressedStoredSkin stored(nullptr);
    test::SetStored(stored, Container(2));
    TMemoryStream property;
    stored.WriteCompressedData(property);
    EXPECT_EQ(property.Size(), static_cast<std::int64_t>(stored.CompressedData().size() + 4));
    property.SetPosition(0);
    TksCompressedStoredSkin back(nullptr);
    back.ReadCompressedData(property);
    EXPECT_EQ(back.CompressedData(), stored.CompressedData());

    TksCompressedStoredSkin empty(nullptr);
    TMemoryStream emptyProperty;
    empty.WriteCompressedData(emptyProperty);
    EXPECT_EQ(emptyProperty.Size(), 4);  // written also when empty

    // A length beyond the template's bytes.
    std::vector<std::uint8_t> lying = {0xFF, 0xFF, 0, 0, 1, 2, 3};
    TCustomMemoryStream lyingStream(lying.data(), static_cast<std::int64_t>(lying.size()));
    EXPECT_THROW(back.ReadCompressedData(lyingStream), EReadError);

    test::TScratchDir dir;
    stored.SaveToCompressedFile(dir.File("skin.skn"));
    TksCompressedStoredSkin fromFile(nullptr);
    fromFile.LoadFromCompressedFile(dir.File("skin.skn"));
    EXPECT_EQ(fromFile.CompressedData(), stored.CompressedData());
    EXPECT_EQ(fromFile.CompressedFileName(), "skin.skn");
    std::vector<std::uint8_t> newer = test::ReadFile(dir.File("skin.skn"));
    newer[0] = 4;
    test::WriteFile(dir.File("newer.skn"), newer);
    fromFile.LoadFromCompressedFile(dir.File("newer.skn"));
    EXPECT_TRUE(fromFile.IsEmpty());
}

TEST(StoredSkin, BuilderRefusesADescriptionWithoutARequiredSection) {
    test::TScratchDir dir;
    const std::string full = "[VERSION]\n[PICTURES]\n[FORMINFO]\n[SKINOBJECTS]\n[SKINCONTROLS]\n";
    for (const char* section : RequiredSkinSections) {
        std::string text = full;
        const std::string header = std::string("[") + section + "]\n";
        text.erase(text.find(header), header.size());
        test::WriteFile(dir.File("skin.ini"), text);
        TksCompressedStoredSkin stored(nullptr);
        stored.SetCompressedData({1, 2, 3});
        EXPECT_FALSE(stored.LoadFromSkinFile(dir.File("skin.ini"))) << section;
        EXPECT_EQ(stored.CompressedData(), (std::vector<std::uint8_t>{1, 2, 3}));
    }
    test::WriteFile(dir.File("skin.ini"), "[PICTURES]\nactivepicturescount=1\n0=missing.bmp\n" + full);
    TksCompressedStoredSkin stored(nullptr);
    EXPECT_THROW(stored.LoadFromSkinFile(dir.File("skin.ini")), EFOpenError);
}

TEST(StoredSkin, BuilderWritesVersionTwoWithEveryPictureAndTheLinesEndedByCrLf) {
    test::TScratchDir dir;
    test::WriteFile(dir.File("p.bmp"), test::MakeBmp(Shape(6, 5, 8)));
    test::WriteFile(dir.File("i.bmp"), test::MakeBmp(Shape(6, 5, 24)));
    test::WriteFile(dir.File("a0.bmp"), test::MakeBmp(Shape(3, 3, 4)));
    test::WriteFile(dir.File("skin.ini"),
                    "[VERSION]\nskinname=x\n[PICTURES]\npicture=p.bmp\ninactivepicture=I.BMP\n"
                    "activepicturescount=1\n0=a0.bmp\n[FORMINFO]\n[SKINOBJECTS]\n[SKINCONTROLS]");
    TksCompressedStoredSkin stored(nullptr);
    ASSERT_TRUE(stored.LoadFromSkinFile(dir.File("skin.ini")));
    TMemoryStream raw;
    stored.DecompressToStream(raw);
    raw.SetPosition(0);
    TksSkinContainer c;
    ASSERT_TRUE(c.ReadFromStream(raw));
    EXPECT_EQ(c.Version, 2);
    EXPECT_EQ(c.Picture.FileBytes(), test::MakeBmp(Shape(6, 5, 8)));
    EXPECT_EQ(c.InActivePicture.FileBytes(), test::MakeBmp(Shape(6, 5, 24)));
    EXPECT_TRUE(c.Mask.Empty());
    EXPECT_TRUE(c.RollUpPicture.Empty());
    ASSERT_EQ(c.ActivePictures.size(), 1u);
    EXPECT_EQ(c.ActivePictures[0]->BitCount(), 4);
    EXPECT_EQ(c.Description,
              "[VERSION]\r\nskinname=x\r\n[PICTURES]\r\npicture=p.bmp\r\ninactivepicture=I.BMP\r\n"
              "activepicturescount=1\r\n0=a0.bmp\r\n[FORMINFO]\r\n[SKINOBJECTS]\r\n[SKINCONTROLS]\r\n");
}

TEST(SkinContainer, WritesAndReadsBackEveryVersion) {
    for (int version : {0, 1, 2, 3}) {
        const TksSkinContainer c = Container(version, 3);
        const std::vector<std::uint8_t> raw = test::ContainerBytes(c);
        TCustomMemoryStream s(raw.data(), static_cast<std::int64_t>(raw.size()));
        TksSkinContainer back;
        ASSERT_TRUE(back.ReadFromStream(s));
        EXPECT_EQ(test::ContainerBytes(back), raw) << version;
    }
    TksSkinContainer newer = Container(7);
    const std::vector<std::uint8_t> raw = test::ContainerBytes(newer);
    EXPECT_EQ(raw.size(), 4u);
}

}  // namespace
}  // namespace zv

namespace zv {
namespace {

// The fuzz targets' starting inputs (and anything found later and kept
// there) load under the sanitizers with nothing but the system's errors.
TEST(SkinFuzzCorpus, EveryInputLoadsOrFailsCleanly) {
    int loaded = 0;
    for (const char* dir : {"corpus", "corpus-bmp"}) {
        for (const auto& entry : std::filesystem::directory_iterator(test::DataDir() + "/" + dir)) {
            const std::vector<std::uint8_t> bytes = test::ReadFile(entry.path().string());
            TksCompressedStoredSkin stored(nullptr);
            stored.SetCompressedData(ZCompress(bytes.data(), bytes.size(), 1));
            TksSkinData data(nullptr);
            try {
                data.LoadCompressedSkin(stored);
                if (!data.Empty()) ++loaded;
            } catch (const Exception&) {
                EXPECT_TRUE(data.Empty()) << entry.path();
            }
            TksBitmap b;
            try {
                b.LoadFromFileBytes(bytes.data(), bytes.size());
            } catch (const Exception&) {
                EXPECT_TRUE(b.Empty());
            }
        }
    }
    EXPECT_EQ(loaded, 5);  // versions 0 to 3 and the container with empty slots
}

}  // namespace
}  // namespace zv
