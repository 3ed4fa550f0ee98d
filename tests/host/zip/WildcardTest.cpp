#include <gtest/gtest.h>

#include <string>

#include "zip/ZipReader.h"

using zv::WildcardMatch;

namespace {

struct Case {
    const char* pattern;
    const char* text;
    bool expected;
};

void ExpectCases(std::initializer_list<Case> cases) {
    for (const auto& c : cases)
        EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.expected)
            << "pattern '" << c.pattern << "' text '" << c.text << "'";
}

}  // namespace

TEST(WildcardMatch, LiteralsAndQuestionMarksIgnoringAsciiCase) {
    ExpectCases({
        {"NPZRVN32.dll", "npzrvn32.DLL", true},
        {"npzrvn32.dll", "npzrvn32.dl", false},
        {"npzrvn32.dl", "npzrvn32.dll", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"", "", true},
        {"", "a", false},
        // Only A to Z are folded: the Windows-1252 letters keep their case.
        {"\xC4", "\xE4", false},
        {"\xC4", "\xC4", true},
    });
}

TEST(WildcardMatch, StarsMatchAnyRunAlsoEmpty) {
    ExpectCases({
        {"*", "", true},
        {"*", "any\\thing", true},
        {"*.dll", "plugins\\NPZRVN32.dll", true},
        {"*.dll", "ZorvaneActiveX.ocx", false},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"abc*", "abc", true},
        {"*a", "b", false},
        {"**x", "x", true},
    });
}

TEST(WildcardMatch, SetsRangesAndNegation) {
    ExpectCases({
        {"<abc>x", "bx", true},
        {"<a-c>x", "dx", false},
        {"<A-C>x", "bX", true},
        {"<!a-c>x", "dx", true},
        {"<^a>", "a", false},
        {"<^a>", "b", true},
        {"<c-a>", "b", false},  // reversed range matches nothing
        {"<!c-a>", "b", true},
        {"<a->", "-", true},  // a trailing '-' is an item of its own
        {"<a-cx-z>", "y", true},
    });
}

TEST(WildcardMatch, EmptyOrUnterminatedSetsNeverMatch) {
    ExpectCases({
        {"<>", "", false},
        {"<>", "a", false},
        {"a<>", "a", false},
        {"<!>", "a", false},
        {"<abc", "a", false},
        {"*<abc", "a", false},
        {"*<>", "a", false},
    });
}

TEST(WildcardMatch, StarFollowedBySetSwallowsOnlySetMembers) {
    ExpectCases({
        {"*<0-9>", "123", true},
        {"*<0-9>", "12a", false},
        {"x*<0-9>", "x", false},  // the set itself still needs one character
        {"x*<0-9>", "x7", true},
        {"*<!a>b", "ccb", true},
        {"*<!a>b", "cab", false},
        {"file*<0-9>.txt", "file2024.txt", true},
        {"file*<0-9>.txt", "file20x4.txt", false},
    });
}

TEST(WildcardMatch, ManyStarsStayFast) {
    // A backtracking matcher needs exponential time here; names come from the
    // archive, so the matcher must not.
    const std::string text(20000, 'a');
    std::string pattern;
    for (int i = 0; i < 200; ++i) pattern += "*a";
    EXPECT_FALSE(WildcardMatch(pattern + "*b", text));
    EXPECT_TRUE(WildcardMatch(pattern + "*", text));
}
