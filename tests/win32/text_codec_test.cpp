// Win32TextCodec under the Japanese locale (code page 932), and the UTF-8/UTF-16
// helpers every Win32 call of ours goes through.
#include <gtest/gtest.h>

#include "win32/ports/text_convert.h"
#include "win32/ports/win_codec.h"

namespace tomari {
namespace {

TEST(TextConvertTest, RoundTripsEveryScriptAndMarksBrokenInput) {
  const std::string utf8 = "トマリギ 한국어 café 😀";
  EXPECT_EQ(Utf8ToWide(utf8), L"トマリギ 한국어 café 😀");
  EXPECT_EQ(WideToUtf8(Utf8ToWide(utf8)), utf8);
  EXPECT_EQ(WideToUtf8(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(Utf8ToWide("a\xC3(b"), L"a\xFFFD(b");
  // A lone surrogate, as a title of another program may hold one.
  EXPECT_EQ(WideToUtf8(std::wstring(L"x\xD800y")), "x\xEF\xBF\xBDy");
}

TEST(TextCodecTest, ShiftJisRoundTripsAndWhatItLacksIsRefusedNotGuessed) {
  Win32TextCodec codec;
  EXPECT_EQ(codec.AnsiCodePage(), 932u);
  std::string ansi;
  ASSERT_TRUE(codec.ToAnsi("トマリギ設定", ansi));
  EXPECT_EQ(ansi, "\x83\x67\x83\x7D\x83\x8A\x83\x4D\x90\xDD\x92\xE8");
  EXPECT_EQ(codec.FromAnsi(ansi), "トマリギ設定");
  const std::string mixed = "C:\\ﾄﾏﾘｷﾞ\\Skins\\既定 \"ＡＢＣ\" ①～";
  ASSERT_TRUE(codec.ToAnsi(mixed, ansi));
  EXPECT_EQ(codec.FromAnsi(ansi), mixed);
  // What the system would only approximate (é as e, ¥ as the path separator,
  // the wave dash as the full-width tilde) has no ANSI form, nor has broken UTF-8.
  for (const char* text : {"한국어", "時計 😀", "café", "¥100", "10〜20", "abc\xFF"})
    EXPECT_FALSE(codec.ToAnsi(text, ansi)) << text;
  // A lead byte cut off at the end of a value reads as something, never a crash.
  EXPECT_EQ(codec.FromAnsi("\x83\x67\x83").substr(0, 3), "ト");
  for (int b : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(codec.IsLeadByte(b)) << b;
  for (int b : {0x41, 0x5C, 0x80, 0xA0, 0xDF, 0xFD}) EXPECT_FALSE(codec.IsLeadByte(b)) << b;
}

}  // namespace
}  // namespace tomari
