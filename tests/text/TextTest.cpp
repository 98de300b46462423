// The text helpers: ASCII folding and trimming, UTF-8 checks, the file's wildcard patterns and numbers.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "text/Ascii.h"
#include "text/Numbers.h"
#include "text/Pattern.h"

namespace korvane {
namespace {

TEST(Ascii, FoldsAsciiLettersOnlyTrimsBlanksAndValidatesUtf8) {
    EXPECT_EQ(asciiUpper(std::string_view("aZ09_z{`\xE4\xFF")), "AZ09_Z{`\xE4\xFF");
    EXPECT_TRUE(equalsIgnoreCase("Pad12", "PAD12") && !equalsIgnoreCase("\xE4", "\xC4") &&
                !equalsIgnoreCase("@", "`"));
    EXPECT_EQ(trimBlanks("  a b  "), "a b");
    EXPECT_EQ(trimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(trimBlanks("    "), "");
    for (const char* valid : {"", "\xC3\xA4 \xE2\x82\xAC \xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"}) {
        EXPECT_TRUE(isValidUtf8(valid)) << valid;
    }
    for (const char* invalid : {"\xF4\x90\x80\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF",
                                "\xED\xA0\x80", "\xC3", "\xE2\x82x", "\x80", "\xE4rger"}) {
        EXPECT_FALSE(isValidUtf8(invalid)) << invalid;
    }
}

TEST(Ascii, DisplayDecodesWindows1252) {
    EXPECT_EQ(displayUtf8("R\xC3\xA4"), "R\xC3\xA4");
    EXPECT_EQ(displayUtf8("\x80 \x9F \xA0\xFF"), "\xE2\x82\xAC \xC5\xB8 \xC2\xA0\xC3\xBF");
    // The undefined bytes survive as C1 controls instead of vanishing.
    EXPECT_EQ(displayUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    // One bad byte decodes the whole text as Windows-1252, the valid-looking pair included.
    EXPECT_EQ(displayUtf8("\xC3\xA4\xFF"), "\xC3\x83\xC2\xA4\xC3\xBF");
}

constexpr auto kExact = CaseMode::Exact;
constexpr auto kFold = CaseMode::Insensitive;

// Each case is "text~pattern".
void check(CaseMode mode, bool expected, std::initializer_list<std::string_view> cases) {
    for (std::string_view c : cases) {
        const std::size_t tilde = c.find('~');
        EXPECT_EQ(likeMatch(c.substr(0, tilde), c.substr(tilde + 1), mode), expected) << c;
    }
}

TEST(Pattern, WildcardsAndBracketListsAndAHostilePatternFinishes) {
    check(kExact, true, {"~", "~*", "R12~R*", "R12~*2", "R12~R##", "abcabd~*ab?", "a!~a!"});
    check(kExact, false, {"a~", "R12~R?", "R1A~R##", "abcd~a*c", "U1~u1"});
    check(kFold, true, {"U1~u1"});
    check(kFold, false, {"\xE4~\xC4"});  // bytes above ASCII never fold
    check(kExact, true,
          {"b~[abc]", "d~[!abc]", "-~[-a]", "-~[a-]", "b~[a-c-e]", "-~[a-c-e]", "*~[*]", "[~[[]", "ab~a[]b",
           "[a~[a", "x~[!]", "a]~[a]]", "\xE9~[\xC0-\xFF]"});  // ranges compare unsigned bytes
    check(kExact, false, {"d~[abc]", "M~[a-z]", "-~[!-a]", "axb~a[]b"});
    check(kFold, true, {"M~[a-z]", "m~[A-Z]"});
    check(kFold, false, {"M~[!a-z]", "z~[z-a]", "\xC9~[\xE0-\xFF]"});
    const std::string text(10000, 'a');
    EXPECT_FALSE(likeMatch(text, "*a*a*a*a*a*a*a*a*b", kExact));
    EXPECT_TRUE(likeMatch(text + "b", "*a*a*a*a*a*a*a*a*b", kFold));
}

TEST(Numbers, NearestHalvesGoToEven) {
    const std::pair<double, std::int64_t> cases[] = {{2.5, 2},  {3.5, 4}, {-2.5, -2}, {-3.5, -4},
                                                     {-0.5, 0}, {2.6, 3}, {-2.6, -3}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(nearest(in), out) << in;
    }
    EXPECT_EQ(nearest(0.49999999999999994), 0);
    EXPECT_EQ(nearest(4503599627370497.0), 4503599627370497);
    for (double big : {9223372036854775808.0, 1e300, std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(nearest(big), std::numeric_limits<std::int64_t>::max()) << big;
        EXPECT_EQ(nearest(-big), std::numeric_limits<std::int64_t>::min()) << big;
    }
    EXPECT_EQ(nearest(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(Numbers, ParseTakesLongestLeadingNumberAndParseWholeRoundsAndClamps) {
    const std::pair<const char*, double> cases[] = {
        {"", 0},     {"abc", 0},      {"-", 0},          {".", 0},    {"nan", 0},  {"-Infinity", 0},
        {"0x1A", 0}, {"12abc", 12},   {"1,5", 1},        {".5", 0.5}, {"5.", 5},   {"-.25", -0.25},
        {"+7", 7},   {" \t 42 ", 42}, {"1E-2x", 0.01},   {"2e", 2},   {"2e-x", 2}, {"1e309", 0},
        {"- 5", 0},  {"--5", 0},      {"00012.50", 12.5}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(parseNumber(in), out) << '"' << in << '"';
    }
    // A long run of digits must be converted correctly, not truncated.
    EXPECT_EQ(parseNumber(std::string(400, '0') + "1.5"), 1.5);
    for (const std::string c :
         {"2.5~2", "-3.5~-4", "120.7px~121", "1e12~2147483647", "-1e12~-2147483648", "junk~0"}) {
        EXPECT_EQ(std::to_string(parseWhole(c.substr(0, c.find('~')))), c.substr(c.find('~') + 1));
    }
}

TEST(Numbers, FormatIsShortestDecimal) {
    // Each case is "value=text", the value as the C library reads it.
    for (std::string_view c :
         {"-0.0=0", "-3=-3", "1234567890=1234567890", "999999999999999=999999999999999", "0.1=0.1",
          "0.3333333333333333=0.3333333", "1.23456789=1.234568", "1234567.8=1234568", "-0.000123=-0.000123",
          "0.9999999999=1", "9.99999999e-8=0.0000001", "1.5e-8=1.5E-08", "1e-10=1E-10",
          "999999999999999.9=1E+15", "1e20=1E+20", "-1.2345678e200=-1.234568E+200"}) {
        const std::size_t equals = c.find('=');
        const double value = std::strtod(std::string(c.substr(0, equals)).c_str(), nullptr);
        EXPECT_EQ(formatNumber(value), c.substr(equals + 1));
    }
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::quiet_NaN()), "0");
}

TEST(Numbers, FormatReadsBackAsSevenDigitValue) {
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int i = 0; i < 20000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        const std::string text = formatNumber(value);
        char rounded[40];
        std::snprintf(rounded, sizeof rounded, "%.6e", value);
        // Whole values below the exponent range are written with every digit.
        const bool whole = std::trunc(value) == value && std::fabs(value) < 1e15;
        const double expected = whole ? value : std::strtod(rounded, nullptr);
        EXPECT_EQ(parseNumber(text), expected) << value << " -> " << text;
        const double magnitude = std::fabs(expected);
        const bool plain = magnitude >= 1e-7 && magnitude < 1e15;
        EXPECT_EQ(text.find('E') == std::string::npos, plain) << text;
        EXPECT_EQ(text.find(','), std::string::npos) << text;
    }
}

TEST(Numbers, FractionReadsBackAsSameFloat) {
    const std::pair<float, const char*> fractions[] = {{0.1f, "0.1"}, {0.025f, "0.025"}, {1.0f, "1"},
                                                       {0.0f, "0"},   {-0.0f, "0"},      {0.15f, "0.15"},
                                                       {2.5f, "2.5"}};
    for (const auto& [in, out] : fractions) {
        EXPECT_EQ(formatFraction(in), out) << in;
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> bits(0, 0x7F7FFFFFu);  // every finite positive float
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t pattern = bits(random);
        float value;
        std::memcpy(&value, &pattern, sizeof value);
        const std::string text = formatFraction(value);
        ASSERT_FALSE(text.empty());
        EXPECT_TRUE(text[0] >= '0' && text[0] <= '9') << text;
        EXPECT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        if (value != 0.0f) {
            EXPECT_EQ(static_cast<float>(parseNumber(text)), value) << text;
        }
    }
    EXPECT_EQ(formatFraction(std::numeric_limits<float>::quiet_NaN()), "0");
}

}  // namespace
}  // namespace korvane
