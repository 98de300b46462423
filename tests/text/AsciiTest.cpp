#include "text/Ascii.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane {
namespace {

TEST(Ascii, FoldsAsciiLettersOnlyAndTrimsBlanks) {
    EXPECT_EQ(asciiUpper(std::string_view("aZ09_z{`\xE4\xFF")), "AZ09_Z{`\xE4\xFF");
    EXPECT_TRUE(equalsIgnoreCase("Pad12", "PAD12"));
    EXPECT_FALSE(equalsIgnoreCase("\xE4", "\xC4"));
    EXPECT_FALSE(equalsIgnoreCase("@", "`"));
    EXPECT_EQ(trimBlanks("  a b  "), "a b");
    EXPECT_EQ(trimBlanks("\ta\t"), "\ta\t");
    EXPECT_EQ(trimBlanks("    "), "");
}

// Valid: two- to four-byte forms, U+10FFFF. Invalid: beyond U+10FFFF, overlong forms, a surrogate, truncated
// forms, a lone continuation byte and Windows-1252 text.
TEST(Ascii, Utf8Validation) {
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

}  // namespace
}  // namespace korvane
