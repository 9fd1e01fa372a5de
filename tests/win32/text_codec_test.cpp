// Win32TextCodec under the Japanese locale (code page 932), and the UTF-8/UTF-16
// helpers every Win32 call of ours goes through.
#include <gtest/gtest.h>

#include "win32/ports/text_convert.h"
#include "win32/ports/win_codec.h"

namespace tomari {
namespace {

TEST(TextConvertTest, RoundTripsEveryScriptAndEmbeddedNuls) {
  const std::string utf8 = "トマリギ 한국어 café 😀";
  const std::wstring wide = L"トマリギ 한국어 café 😀";
  EXPECT_EQ(Utf8ToWide(utf8), wide);
  EXPECT_EQ(WideToUtf8(wide), utf8);
  EXPECT_EQ(Utf8ToWide("😀").size(), 2u);  // one surrogate pair

  const std::string withNul("a\0b", 3);
  EXPECT_EQ(Utf8ToWide(withNul), std::wstring(L"a\0b", 3));
  EXPECT_EQ(WideToUtf8(std::wstring(L"a\0b", 3)), withNul);
  EXPECT_EQ(Utf8ToWide(""), L"");
  EXPECT_EQ(WideToUtf8(L""), "");
}

TEST(TextConvertTest, BrokenInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide("a\xC3(b"), L"a\xFFFD(b");
  EXPECT_EQ(Utf8ToWide("\xFF"), L"\xFFFD");
  // A lone surrogate, as a title of another program may hold one.
  EXPECT_EQ(WideToUtf8(std::wstring(L"x\xD800y")), "x\xEF\xBF\xBDy");
}

class TextCodecTest : public ::testing::Test {
 protected:
  Win32TextCodec codec;
};

TEST_F(TextCodecTest, TheJapaneseLocaleGivesCodePage932) {
  EXPECT_EQ(codec.AnsiCodePage(), 932u);
}

TEST_F(TextCodecTest, JapaneseTextRoundTripsThroughShiftJis) {
  std::string ansi;
  ASSERT_TRUE(codec.ToAnsi("トマリギ設定", ansi));
  EXPECT_EQ(ansi, "\x83\x67\x83\x7D\x83\x8A\x83\x4D\x90\xDD\x92\xE8");
  EXPECT_EQ(codec.FromAnsi(ansi), "トマリギ設定");

  // Half-width katakana are one byte; ASCII, path separators and quotes stay put.
  const std::string mixed = "C:\\ﾄﾏﾘｷﾞ\\Skins\\既定 \"ＡＢＣ\" ①～";
  ASSERT_TRUE(codec.ToAnsi(mixed, ansi));
  EXPECT_EQ(ansi.substr(0, 7), "C:\\\xC4\xCF\xD8\xB7");
  EXPECT_EQ(codec.FromAnsi(ansi), mixed);
}

TEST_F(TextCodecTest, CharactersOutsideCodePage932AreReportedNotGuessed) {
  std::string ansi;
  EXPECT_FALSE(codec.ToAnsi("한국어", ansi));
  EXPECT_FALSE(codec.ToAnsi("時計 😀", ansi));
  // Characters the system would only approximate: é as e, ¥ as the backslash
  // (which would turn a name into a path), the wave dash as the full-width tilde.
  EXPECT_FALSE(codec.ToAnsi("café", ansi));
  EXPECT_FALSE(codec.ToAnsi("¥100", ansi));
  EXPECT_FALSE(codec.ToAnsi("10〜20", ansi));
  // Broken UTF-8 has no ANSI form either.
  EXPECT_FALSE(codec.ToAnsi("abc\xFF", ansi));
}

TEST_F(TextCodecTest, EmptyAndOddInput) {
  std::string ansi = "stale";
  EXPECT_TRUE(codec.ToAnsi("", ansi));
  EXPECT_EQ(ansi, "");
  EXPECT_EQ(codec.FromAnsi(""), "");
  EXPECT_TRUE(codec.ToAnsi(std::string("a\0b", 3), ansi));
  EXPECT_EQ(ansi, std::string("a\0b", 3));
  // A lead byte cut off at the end of a value reads as something, never a crash.
  EXPECT_EQ(codec.FromAnsi("\x83\x67\x83").substr(0, 3), "ト");
}

TEST_F(TextCodecTest, LeadBytesOfCodePage932) {
  for (int b : {0x81, 0x82, 0x9F, 0xE0, 0xEA, 0xFC}) EXPECT_TRUE(codec.IsLeadByte(b)) << b;
  for (int b : {0x00, 0x41, 0x5C, 0x7F, 0x80, 0xA0, 0xB6, 0xDF, 0xFD, 0xFF})
    EXPECT_FALSE(codec.IsLeadByte(b)) << b;
}

}  // namespace
}  // namespace tomari
