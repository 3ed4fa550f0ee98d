#include <gtest/gtest.h>

#include "vcl/Menus.h"

using namespace zv;

TEST(MenuItem, CaptionAcceleratorAndDisplayText) {
    TMenuItem item;
    item.Caption = "&Close";
    EXPECT_EQ(item.AcceleratorChar(), 'C');
    EXPECT_EQ(item.DisplayCaption(), "Close");
    item.Caption = "Mi&nimize";
    EXPECT_EQ(item.AcceleratorChar(), 'N');
    EXPECT_EQ(item.DisplayCaption(), "Minimize");
    // "&&" is a literal ampersand, not an accelerator.
    item.Caption = "Save && &quit";
    EXPECT_EQ(item.AcceleratorChar(), 'Q');
    EXPECT_EQ(item.DisplayCaption(), "Save & quit");
    item.Caption = "Plain&";
    EXPECT_EQ(item.AcceleratorChar(), 0);
    EXPECT_EQ(item.DisplayCaption(), "Plain");
    item.Caption = std::string(1, '-');
    EXPECT_TRUE(item.IsLine());
}

TEST(MenuItem, ShortCutTextBothWays) {
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F4, scAlt)), "Alt+F4");
    EXPECT_EQ(ShortCutToText(ShortCut('S', scCtrl | scShift)), "Shift+Ctrl+S");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F12, scNone)), "F12");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, scNone)), "Del");
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(TextToShortCut("Alt+F4"), ShortCut(VK_F4, scAlt));
    EXPECT_EQ(TextToShortCut("Shift+Ctrl+S"), ShortCut('S', scCtrl | scShift));
    EXPECT_EQ(TextToShortCut("Alt+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+X"), scNone);
}

TEST(MenuItem, SubItemsAndClickDispatch) {
    TMenuItem root;
    int clicks = 0;
    TMenuItem* close = root.Add("SF_CLOSE", "&Close", ShortCut(VK_F4, scAlt), [&](TObject*) { ++clicks; });
    root.Add("", "-");
    ASSERT_EQ(root.Count(), 2);
    EXPECT_EQ(root.Items(0), close);
    EXPECT_EQ(close->Parent(), &root);
    EXPECT_EQ(close->Name, "SF_CLOSE");
    close->Click();
    EXPECT_EQ(clicks, 1);
    // A disabled item is never run.
    close->Enabled = false;
    close->Click();
    EXPECT_EQ(clicks, 1);
    root.Clear();
    EXPECT_EQ(root.Count(), 0);
}
