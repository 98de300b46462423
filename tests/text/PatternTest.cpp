#include "text/Pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane {
namespace {

constexpr auto kExact = CaseMode::Exact;
constexpr auto kFold = CaseMode::Insensitive;

struct Case {
    const char* text;
    const char* pattern;
    CaseMode mode;
    bool expected;
};

void check(const std::initializer_list<Case>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(likeMatch(c.text, c.pattern, c.mode), c.expected) << c.text << " ~ " << c.pattern;
    }
}

TEST(Pattern, Wildcards) {
    check({
        {"", "", kExact, true},
        {"", "*", kExact, true},
        {"a", "", kExact, false},
        {"R12", "R*", kExact, true},
        {"R12", "*2", kExact, true},
        {"R12", "R?", kExact, false},
        {"R12", "R##", kExact, true},
        {"R1A", "R##", kExact, false},
        {"abcabd", "*ab?", kExact, true},
        {"abcd", "a*c", kExact, false},
        {"U1", "u1", kExact, false},
        {"U1", "u1", kFold, true},
        {"a!", "a!", kExact, true},
        {"\xE4", "\xC4", kFold, false},  // bytes above ASCII never fold
    });
}

TEST(Pattern, BracketLists) {
    check({
        {"b", "[abc]", kExact, true},
        {"d", "[abc]", kExact, false},
        {"d", "[!abc]", kExact, true},
        {"M", "[a-z]", kExact, false},
        {"M", "[a-z]", kFold, true},
        {"m", "[A-Z]", kFold, true},
        {"M", "[!a-z]", kFold, false},
        {"-", "[-a]", kExact, true},
        {"-", "[a-]", kExact, true},
        {"-", "[!-a]", kExact, false},
        {"b", "[a-c-e]", kExact, true},
        {"-", "[a-c-e]", kExact, true},
        {"*", "[*]", kExact, true},
        {"[", "[[]", kExact, true},
        {"ab", "a[]b", kExact, true},
        {"axb", "a[]b", kExact, false},
        {"[a", "[a", kExact, true},
        {"z", "[z-a]", kFold, false},
        {"x", "[!]", kExact, true},
        {"\xE9", "[\xC0-\xFF]", kExact, true},  // ranges compare unsigned bytes
        {"\xC9", "[\xE0-\xFF]", kFold, false},
        {"a]", "[a]]", kExact, true},
    });
}

TEST(Pattern, HostilePatternFinishes) {
    const std::string text(10000, 'a');
    EXPECT_FALSE(likeMatch(text, "*a*a*a*a*a*a*a*a*b", kExact));
    EXPECT_TRUE(likeMatch(text + "b", "*a*a*a*a*a*a*a*a*b", kFold));
}

}  // namespace
}  // namespace korvane
