#include "proj/CoordinateText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace trekora;

TEST(CoordinateTextTest, EightDecimalsAndLenientReading) {
    EXPECT_EQ(coordinateText(-93.5), "-93.50000000");
    EXPECT_EQ(coordinateText(0.5), "0.50000000");
    EXPECT_EQ(coordinateText(-0.000000001), "0.00000000");
    EXPECT_EQ(coordinateText(4982856.984726085), "4982856.98472609");
    EXPECT_EQ(coordinateText(-4e-9), "0.00000000");
    EXPECT_EQ(coordinateText(0.125), "0.12500000");
    EXPECT_EQ(coordinateText(1e20), "100000000000000000000.00000000");
    EXPECT_EQ(coordinateText(std::nan("")), "0.00000000");
    // Every value agrees with an exact decimal conversion.
    for (double v = -181.0; v < 181.0; v += 0.0123456789) {
        char exact[64];
        std::snprintf(exact, sizeof exact, "%.8f", v);
        const QString expected =
            QString::fromLatin1(exact) == "-0.00000000" ? "0.00000000" : QString(exact);
        ASSERT_EQ(coordinateText(v), expected) << v;
        ASSERT_EQ(coordinateValue(expected), std::strtod(exact, nullptr)) << exact;
    }
    const struct {
        const char* cell;
        double value;
    } cells[] = {{"45.25", 45.25}, {"-93.5", -93.5}, {" 12 ", 12}, {"1e2", 100}, {"", 0},
                 {"abc", 0},       {"12abc", 0},     {"+7", 7},    {"inf", 0},   {"&H10", 16}};
    for (const auto& c : cells)
        EXPECT_EQ(coordinateValue(QString::fromLatin1(c.cell)), c.value) << c.cell;
}
