// Windows-1252 to UTF-8 and back: every byte survives, and what does not fit becomes '?'.
#include <gtest/gtest.h>

#include <set>

#include "platform/Cp1252.h"

using tw::platform::Cp1252;

TEST(Cp1252, EveryByteRoundTripsAndMapsToItsOwnCharacter) {
    const Cp1252 cp;
    std::string all;
    std::set<std::string> seen;
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = cp.toUtf8(one);
        EXPECT_EQ(cp.fromUtf8(utf8), one) << "byte " << b;
        EXPECT_TRUE(seen.insert(utf8).second) << "byte " << b << " shares its character";
        all += one;
    }
    EXPECT_EQ(cp.fromUtf8(cp.toUtf8(all)), all);
}

TEST(Cp1252, KnownCharacters) {
    const Cp1252 cp;
    EXPECT_EQ(cp.toUtf8("\x80"), "\u20AC");
    EXPECT_EQ(cp.toUtf8("\x9F"), "\u0178");
    EXPECT_EQ(cp.toUtf8("caf\xE9"), "caf\u00E9");
    EXPECT_EQ(cp.toUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D"); // undefined in 1252, kept
    EXPECT_EQ(cp.toUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(cp.fromUtf8("\u20ACuro \u201Cquoted\u201D"), "\x80uro \x93quoted\x94");
    EXPECT_EQ(cp.toUtf8("line\r\nbreak"), "line\r\nbreak");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    const Cp1252 cp;
    EXPECT_EQ(cp.fromUtf8("\u65E5\u672C"), "??");
    EXPECT_EQ(cp.fromUtf8("a\U0001F600b"), "a?b");
    EXPECT_EQ(cp.fromUtf8("\u0100"), "?");
    EXPECT_EQ(cp.fromUtf8("\u0080"), "?"); // a C1 control that 1252 gives to the euro sign
}

TEST(Cp1252, InvalidUtf8BecomesQuestionMarksWithoutEatingWhatFollows) {
    const Cp1252 cp;
    EXPECT_EQ(cp.fromUtf8("\x80"), "?");
    EXPECT_EQ(cp.fromUtf8("ab\xE2\x82"), "ab?");
    EXPECT_EQ(cp.fromUtf8("\xE2\x82"
                          "A"),
              "?A");
    EXPECT_EQ(cp.fromUtf8("\xFF\xFE"
                          "x"),
              "??x");
    EXPECT_EQ(cp.fromUtf8("\xC3"), "?");
    // Overlong forms must not pass as the ASCII they spell ('/' here).
    EXPECT_EQ(cp.fromUtf8("\xC0\xAF"), "?");
    EXPECT_EQ(cp.fromUtf8("\xE0\x80\xAF"), "?");
    EXPECT_EQ(cp.fromUtf8("\xF0\x80\x80\xAF"), "?");
    EXPECT_EQ(cp.fromUtf8("\xC1\x81"), "?");
    // Surrogates and values past U+10FFFF.
    EXPECT_EQ(cp.fromUtf8("\xED\xA0\x80"), "?");
    EXPECT_EQ(cp.fromUtf8("\xF4\x90\x80\x80"), "?");
    EXPECT_EQ(cp.fromUtf8("\xF7\xBF\xBF\xBF"
                          "z"),
              "?z");
    EXPECT_EQ(cp.fromUtf8(""), "");
}
