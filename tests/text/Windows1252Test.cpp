#include "text/Windows1252.h"

#include <gtest/gtest.h>

using namespace fichelia::text;

TEST(Windows1252, everyByteSurvivesTheTripThroughUtf8) {
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<unsigned char>(value);
        const std::string utf8 = windows1252ToUtf8(std::string(1, static_cast<char>(byte)));
        std::size_t pos = 0;
        const auto codePoint = nextUtf8CodePoint(utf8, pos);
        ASSERT_TRUE(codePoint.has_value()) << value;
        EXPECT_EQ(pos, utf8.size()) << value;
        EXPECT_EQ(codePointToWindows1252(*codePoint), byte) << value;
    }
}

TEST(Windows1252, mapsTheCodePageCharacters) {
    EXPECT_EQ(windows1252ToUtf8("\xE9\xE0\xC9"), "éàÉ");
    EXPECT_EQ(windows1252ToUtf8("\x80\x9C\x8C\x85"), "€œŒ…");
    // Undefined bytes stand for the code points of the same value, as browsers read them.
    EXPECT_EQ(windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(codePointToWindows1252(U'€'), 0x80);
    EXPECT_EQ(codePointToWindows1252(U'ÿ'), 0xFF);
    EXPECT_FALSE(codePointToWindows1252(0x0080).has_value()); // 0x80 is the euro sign
    EXPECT_FALSE(codePointToWindows1252(U'Ł').has_value());
    EXPECT_FALSE(codePointToWindows1252(0x1F600).has_value());
}

TEST(Utf8, decodesWellFormedAndRefusesMalformedSequences) {
    EXPECT_TRUE(isValidUtf8("Łódź 中文 😀 \u0000"));
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_FALSE(isValidUtf8("\xE9t\xE9"));             // Windows-1252, not UTF-8
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));              // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));          // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));      // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));              // truncated
    EXPECT_FALSE(isValidUtf8("a\x80z"));                // stray continuation byte

    std::string out;
    for (char32_t cp : {U'A', U'é', U'€', U'😀'}) {
        appendUtf8(out, cp);
    }
    EXPECT_EQ(out, "Aé€😀");
    std::size_t pos = 0;
    EXPECT_EQ(nextUtf8CodePoint(out, pos), U'A');
    EXPECT_EQ(nextUtf8CodePoint(out, pos), U'é');
    EXPECT_EQ(nextUtf8CodePoint(out, pos), U'€');
    EXPECT_EQ(nextUtf8CodePoint(out, pos), U'😀');
    EXPECT_EQ(pos, out.size());
}
