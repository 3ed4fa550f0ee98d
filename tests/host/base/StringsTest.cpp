#include "base/Strings.h"

#include <gtest/gtest.h>

#include "base/Exceptions.h"

using namespace zv;

TEST(TStringList, SortedIgnoresCaseInsensitiveDuplicatesKeepingFirstSpelling) {
    TStringList l;
    l.SetSorted(true);
    l.SetDuplicates(TDuplicates::dupIgnore);
    EXPECT_EQ(l.Add("C:\\Dir\\Plugins"), 0);
    l.Add("b");
    EXPECT_EQ(l.Add("c:\\dir\\plugins"), 1);  // the existing entry's index
    l.Add("A");
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l[0], "A");
    EXPECT_EQ(l[1], "b");
    EXPECT_EQ(l[2], "C:\\Dir\\Plugins");
}

TEST(TStringList, DuplicatePolicies) {
    TStringList e;
    e.SetSorted(true);
    e.SetDuplicates(TDuplicates::dupError);
    e.Add("x");
    EXPECT_THROW(e.Add("X"), EListError);

    TStringList a;
    a.SetSorted(true);
    a.SetDuplicates(TDuplicates::dupAccept);
    a.Add("x");
    a.Add("X");
    EXPECT_EQ(a.Count(), 2);
}

TEST(TStringList, SortedListRefusesPositionalInsert) {
    TStringList l;
    l.SetSorted(true);
    EXPECT_THROW(l.Insert(0, "a"), EListError);
}

TEST(TStringList, IndexErrorsAndObjects) {
    TStringList l;
    TObject o;
    l.AddObject("a", &o);
    EXPECT_EQ(l.Objects(0), &o);
    EXPECT_THROW((void)l.Get(1), EListError);
    EXPECT_THROW(l.Delete(-1), EListError);
    l.Delete(0);
    EXPECT_EQ(l.Count(), 0);
}

TEST(TStringList, TextSplitsOnEveryLineBreakKind) {
    TStringList l;
    l.SetText("a\r\nb\rc\nd\r\n\r\ne");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(l.Text(), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
    l.SetText("x\n\ny");
    EXPECT_EQ(l.ToVector(), (std::vector<std::string>{"x", "", "y"}));
}

TEST(TStringList, OnChangeFiresOnceForABatch) {
    TStringList l;
    int changes = 0;
    l.OnChange = [&](TStringList&) { ++changes; };
    l.BeginUpdate();
    l.Add("a");
    l.Add("b");
    l.EndUpdate();
    EXPECT_EQ(changes, 1);
    l.Add("c");
    EXPECT_EQ(changes, 2);
}

TEST(TStringList, UnsortedIndexOfIsCaseInsensitiveUnlessCaseSensitive) {
    TStringList l;
    l.Add("Alpha");
    EXPECT_EQ(l.IndexOf("ALPHA"), 0);
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("ALPHA"), -1);
}
