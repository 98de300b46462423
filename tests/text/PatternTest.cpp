#include "text/Pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane {
namespace {

constexpr auto kExact = CaseMode::Exact;
constexpr auto kFold = CaseMode::Insensitive;

// Each case is "text~pattern".
void check(CaseMode mode, bool expected, std::initializer_list<std::string_view> cases) {
    for (std::string_view c : cases) {
        const std::size_t tilde = c.find('~');
        EXPECT_EQ(likeMatch(c.substr(0, tilde), c.substr(tilde + 1), mode), expected) << c;
    }
}

TEST(Pattern, Wildcards) {
    check(kExact, true, {"~", "~*", "R12~R*", "R12~*2", "R12~R##", "abcabd~*ab?", "a!~a!"});
    check(kExact, false, {"a~", "R12~R?", "R1A~R##", "abcd~a*c", "U1~u1"});
    check(kFold, true, {"U1~u1"});
    check(kFold, false, {"\xE4~\xC4"});  // bytes above ASCII never fold
}

TEST(Pattern, BracketLists) {
    check(kExact, true,
          {"b~[abc]", "d~[!abc]", "-~[-a]", "-~[a-]", "b~[a-c-e]", "-~[a-c-e]", "*~[*]", "[~[[]", "ab~a[]b",
           "[a~[a", "x~[!]", "a]~[a]]", "\xE9~[\xC0-\xFF]"});  // ranges compare unsigned bytes
    check(kExact, false, {"d~[abc]", "M~[a-z]", "-~[!-a]", "axb~a[]b"});
    check(kFold, true, {"M~[a-z]", "m~[A-Z]"});
    check(kFold, false, {"M~[!a-z]", "z~[z-a]", "\xC9~[\xE0-\xFF]"});
}

TEST(Pattern, HostilePatternFinishes) {
    const std::string text(10000, 'a');
    EXPECT_FALSE(likeMatch(text, "*a*a*a*a*a*a*a*a*b", kExact));
    EXPECT_TRUE(likeMatch(text + "b", "*a*a*a*a*a*a*a*a*b", kFold));
}

}  // namespace
}  // namespace korvane
