#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "deploy/VersionNumber.h"

namespace {

using zv::VersionToNumber;

struct Case {
    const char* text;
    std::int32_t number;
};

TEST(VersionToNumber, PaddingRulesOfEachComponent) {
    const Case cases[] = {
        {"1.7.9.174", 10709174},  // the payload version
        {"1.10.2.3", 11002003},
        {"2.0.0.0", 20000000},   // "2" "00" "00" "000": eight digits like 10709174
        {"1.7.9.1", 10709001},   // fourth: one character gets "00"
        {"1.7.9.17", 10709017},  // two characters get "0"
        {"1.7.9.1740", 10709},   // four characters are dropped
        {"1.100.2.3", 102003},   // three-character second component dropped
        {"1..2.3", 102003},      // empty second component dropped
        {"1.7..3", 107003},      // empty third component dropped
        {"1.7.123.4", 107004},   // three-character third component dropped
        {"12.34.56.789", 123456789},
        {"0.0.0.1", 1},
        {"214.74.83.647", 2147483647},  // the largest number that fits
    };
    for (const Case& c : cases) EXPECT_EQ(VersionToNumber(c.text), c.number) << c.text;
}

TEST(VersionToNumber, ConvertsAtTheFirstMissingDot) {
    EXPECT_EQ(VersionToNumber("n/a"), 0);  // no dot at all: "0"
    EXPECT_EQ(VersionToNumber(""), 0);
    EXPECT_EQ(VersionToNumber("174"), 0);         // a lone number is not used either
    EXPECT_EQ(VersionToNumber("1.7"), 1);         // second component needs a dot after it
    EXPECT_EQ(VersionToNumber("1.7.9"), 107);     // third likewise
    EXPECT_EQ(VersionToNumber("1.7.9."), 10709);  // empty fourth: converted as it stands
    EXPECT_EQ(VersionToNumber("1."), 1);
    EXPECT_EQ(VersionToNumber("123456."), 123456);  // the first component has any length
}

TEST(VersionToNumber, OlderAndNewerCompareAsNumbers) {
    const std::int32_t payload = VersionToNumber("1.7.9.174");
    EXPECT_LT(VersionToNumber("1.7.9"), payload);
    EXPECT_LT(VersionToNumber("1.7.9.173"), payload);
    EXPECT_LT(VersionToNumber("n/a"), payload);
    EXPECT_GT(VersionToNumber("1.7.10.0"), payload);
    EXPECT_GT(VersionToNumber("2.0.0.0"), payload);
    // A comma text made into dots by the version reader gives the same number.
    EXPECT_EQ(VersionToNumber("1.7.9.174"), VersionToNumber(std::string("1.7.9.174")));
}

TEST(VersionToNumber, TextThatGivesNoIntegerRaises) {
    for (const char* text : {"1.7.9.17a",      // digits 1070917a
                             ".1",             // empty digit string
                             "300.0.0.0",      // 3000000000 is out of range
                             "214.74.83.648",  // one past the largest
                             "a.1",
                             "1.2.3.4.5",  // the rest "4.5" is a three-character fourth
                             "1.x.2.3"}) {
        EXPECT_THROW(VersionToNumber(text), zv::EConvertError) << text;
    }
}

TEST(VersionToNumber, ConversionErrorNamesTheDigitString) {
    try {
        VersionToNumber("1.7.9.17a");
        FAIL() << "no error raised";
    } catch (const zv::EConvertError& e) {
        EXPECT_EQ(e.Message(), "'1070917a' is not a valid integer value");
    }
}

}  // namespace
