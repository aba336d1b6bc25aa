#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>

namespace {

TEST(NumberText, LeadingNumber) {
    struct Case {
        std::string text;
        double value;
    };
    const Case cases[] = {
        {"", 0},       {"abc", 0},    {"12abc", 12},    {"4.9", 4.9},   {" 1 2", 12}, {"\t-\n3 .5", -3.5},
        {"+7", 7},     {".5", 0.5},   {"5.", 5},        {"1.2.3", 1.2}, {"-", 0},     {".", 0},
        {"1e3", 1000}, {"1D2x", 100}, {"2.5e-1", 0.25}, {"1 E 2", 100}, {"1e", 1},    {"1e+", 1},
        {"e5", 0},     {"\r5", 0},  // CR is no blank here
        {"007", 7},    {"1,5", 1},    {"0x10", 0},      {"-0", 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(qv::LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberText, LeadingNumberBeyondDouble) {
    EXPECT_EQ(qv::LeadingNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(qv::LeadingNumber("-0.001e312"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(qv::LeadingNumber("1000e-400"), 0.0);
    EXPECT_EQ(qv::LeadingNumber("1e99999999999999999999999"), std::numeric_limits<double>::infinity());
    // Many leading zeros are no magnitude.
    EXPECT_EQ(qv::LeadingNumber(std::string(500, '0') + "1e2"), 100.0);
}

// Texts of thousands of digits are read as exactly as a short one: the
// nearest double, as the standard library finds it from every digit.
TEST(NumberText, ManyDigitsStillGiveTheNearestDouble) {
    const auto exact = [](const std::string& text) {
        double value = 0.0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        EXPECT_EQ(error, std::errc()) << text.substr(0, 40);
        return value;
    };
    // Halfway between two doubles: far-off digits decide, and without them the even one wins.
    const std::string halfway = "9007199254740993.";
    EXPECT_EQ(qv::LeadingNumber(halfway + std::string(3000, '0')), 9007199254740992.0);
    EXPECT_EQ(qv::LeadingNumber(halfway + std::string(3000, '0') + "1"), 9007199254740994.0);
    EXPECT_EQ(qv::LeadingNumber("-" + halfway + std::string(900, '0') + "7xyz"), -9007199254740994.0);
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int round = 0; round < 300; ++round) {
        const int length = 700 + round * 7;
        std::string digits(1, static_cast<char>('1' + digit(random) % 9));
        for (int i = 1; i < length; ++i) digits += static_cast<char>('0' + digit(random));
        // Within double's range: a point among the first digits, or every digit
        // before it and an exponent that brings the number back.
        std::string text = digits;
        if (round % 2 == 0) {
            text.insert(static_cast<std::size_t>(round % 300), ".");
            if (round % 4 == 0) text += "e-" + std::to_string(round * 7 % 300);
        } else {
            text += "E-" + std::to_string(length - round % 300);
        }
        EXPECT_EQ(qv::LeadingNumber(text), exact(text)) << "round " << round;
        const qv::LeadingNumberScan scan = qv::ScanLeadingNumber(text + " ");
        EXPECT_EQ(scan.value, exact(text)) << "round " << round;
        EXPECT_EQ(scan.examined, text.size() + 1);
    }
}

TEST(NumberText, ParseNumberAcceptsOnlyAWholeNumber) {
    struct Case {
        std::string text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"1", 1},
        {" 42\r\n", 42},
        {"\t-3.25 ", -3.25},
        {"+.5", 0.5},
        {"1E2", 100},
        {"1d-2", 0.01},
        {"5.", 5},
        {"32768", 32768},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"abc", std::nullopt},
        {"1x", std::nullopt},
        {"1 2", std::nullopt},
        {"- 1", std::nullopt},
        {"1e", std::nullopt},
        {".", std::nullopt},
        {"1,000", std::nullopt},
        {"&H10", std::nullopt},
        {"1e400", std::nullopt},
        {"--1", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(qv::ParseNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberText, RoundHalfEven) {
    const double cases[][2] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {2.4999, 2},
        {2.5001, 3},
        {-2.5001, -3},
        {7, 7},
        {4503599627370497.0, 4503599627370497.0},
    };
    for (const auto& c : cases) EXPECT_EQ(qv::RoundHalfEven(c[0]), c[1]) << c[0];
    EXPECT_TRUE(std::isnan(qv::RoundHalfEven(std::nan(""))));
}

TEST(NumberText, IntegerRanges) {
    EXPECT_EQ(qv::ToInt16(32767.4), 32767);
    EXPECT_EQ(qv::ToInt16(32767.5), std::nullopt);  // rounds to 32768
    EXPECT_EQ(qv::ToInt16(-32768.5), -32768);       // rounds to the even -32768
    EXPECT_EQ(qv::ToInt16(-32769), std::nullopt);
    EXPECT_EQ(qv::ToInt32(2147483647.4), 2147483647);
    EXPECT_EQ(qv::ToInt32(2147483647.5), std::nullopt);
    EXPECT_EQ(qv::ToInt32(-2147483648.5), -2147483647 - 1);
    EXPECT_EQ(qv::ToInt32(-2147483649.0), std::nullopt);
    EXPECT_EQ(qv::ToInt32(std::nan("")), std::nullopt);
    EXPECT_EQ(qv::ToInt32(std::numeric_limits<double>::infinity()), std::nullopt);
}

}  // namespace
