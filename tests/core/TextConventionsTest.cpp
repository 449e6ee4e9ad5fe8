#include "core/TextConventions.h"

#include <gtest/gtest.h>

using namespace trekora;

TEST(TextConventions, ValReadsTheLeadingNumber) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"12abc", 12},  {" - 1.5e2", -150}, {"abc", 0},    {"", 0},
        {".5", 0.5},    {"1 2 3", 123},     {"1,000", 1},  {"&H10", 16},
        {"&HFFFF", -1}, {"&O17", 15},       {"3.7D1", 37}, {"1e", 1},
        {"+4", 4},      {"-", 0},           {"\t7\n", 7},  {"29.44557N", 29.44557},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(text::val(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(TextConventions, IsNumericAcceptsWholeNumbersOnly) {
    struct Case {
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {"12", true},  {" 12 ", true}, {"-1.5e3", true}, {"1,000.5", true}, {"&H1F", true},
        {"12-", true}, {"", false},    {" ", false},     {"12abc", false},  {"abc", false},
        {".", false},  {"1e", false},  {"--1", false},   {",1", false},     {"0.00000000", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text::isNumeric(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(TextConventions, FormatFollowsThePattern) {
    struct Case {
        double value;
        const char* pattern;
        const char* expected;
    };
    const Case cases[] = {
        {29.445571234, "##.00000000", "29.44557123"},
        {0.5, "##.00000000", ".50000000"},
        {-98.606641, "###.00000000", "-98.60664100"},
        {0.5, "##0.00000000", "0.50000000"},
        {12.34, "#0.0", "12.3"},
        {0.04, "#0.0", "0.0"},
        {-0.04, "#0.0", "0.0"},
        {12345.67, "####0.0", "12345.7"},
        {3.0, "0.00000000", "3.00000000"},
        {1.25, "0.0#", "1.25"},
        {1.2, "0.0#", "1.2"},
        {7.5, "0", "8"},
        {0.125, "0.00", "0.13"}, // an exact half rounds away from zero
        {-0.125, "0.00", "-0.13"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text::format(c.value, QString::fromUtf8(c.pattern)),
                  QString::fromUtf8(c.expected))
            << c.value << " " << c.pattern;
}

TEST(TextConventions, FormatDateUsesClassicTokens) {
    const QDateTime when(QDate(2026, 12, 10), QTime(14, 5, 9));
    EXPECT_EQ(text::formatDate(when, u"hh:mm dd-mmm-yy"), "14:05 10-Dec-26");
    EXPECT_EQ(text::formatDate(when, u"mm/dd/yyyy hh:nn:ss"), "12/10/2026 14:05:09");
    EXPECT_EQ(text::formatDate(when, u"d mmmm yyyy"), "10 December 2026");
}

TEST(TextConventions, NumberTextIsTheShortestGeneralForm) {
    EXPECT_EQ(text::numberText(0.5), "0.5");
    EXPECT_EQ(text::numberText(-12), "-12");
    EXPECT_EQ(text::numberText(0.00001), "1E-05");
    EXPECT_EQ(text::numberText(1.5e20), "1.5E+20");
    EXPECT_EQ(text::numberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(text::numberText(0), "0");
}

TEST(TextConventions, IntegerConversionRoundsHalvesToEven) {
    EXPECT_EQ(text::roundHalfEven(2.5), 2);
    EXPECT_EQ(text::roundHalfEven(3.5), 4);
    EXPECT_EQ(text::roundHalfEven(-2.5), -2);
    EXPECT_EQ(text::roundHalfEven(2.6), 3);
    EXPECT_EQ(text::toInt16(32767.4), std::optional<std::int16_t>(32767));
    EXPECT_FALSE(text::toInt16(32767.5).has_value());
    EXPECT_FALSE(text::toInt16(-32769).has_value());
    EXPECT_FALSE(text::toInt32(std::nan("")).has_value());
}

TEST(TextConventions, TrimSplitAndCompare) {
    EXPECT_EQ(text::trim("  a b  "), "a b");
    EXPECT_EQ(text::trim("\ta "), "\ta");
    EXPECT_TRUE(text::split("", ";").isEmpty());
    EXPECT_EQ(text::split("a;;b", ";"), QStringList({"a", "", "b"}));
    EXPECT_TRUE(text::sameText(u"Symbol", u"symbol"));
    EXPECT_TRUE(text::containsText(u" type,ident,lat", u"IDENT"));
}
