// The shared UTF-8, case and integer helpers of the core.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string_view>

#include "base/saturate.h"
#include "base/text.h"

namespace tomari {
namespace {

TEST(BaseText, Utf8StepTakesWholeSequencesAndOneByteOfAnythingElse) {
  const std::pair<std::string_view, std::size_t> cases[] = {
      {"a", 1}, {"\xC3\xA9", 2}, {"\xE3\x81\x82", 3}, {"\xF0\x9F\x99\x82", 4},
      {"\xE3\x81", 1},          // cut short at the end
      {"\xE3\x41\x82", 1},      // no continuation
      {"\xC0\x80", 1},          // overlong lead
      {"\xF5\x80\x80\x80", 1},  // beyond U+10FFFF
      {"\x82", 1},              // a stray continuation
  };
  for (const auto& [text, length] : cases) EXPECT_EQ(Utf8SequenceLength(text, 0), length) << text;
  EXPECT_EQ(Utf8SequenceLength("x\xE3\x81\x82", 1), 3u);
  EXPECT_EQ(CharacterCount("[１８]日本語 🙂"), 9u);
  EXPECT_EQ(AsciiLower("AntiPercher-Z@[ÄÉ]"), "antipercher-z@[ÄÉ]");
}

TEST(BaseSaturate, KeepsValuesInRangeAndStopsAtTheBounds) {
  EXPECT_EQ(Saturate<int>(std::int64_t{INT_MAX} + 1), INT_MAX);
  EXPECT_EQ(Saturate<int>(std::int64_t{INT_MIN} - 1), INT_MIN);
  EXPECT_EQ(Saturate<int>(-5), -5);
  EXPECT_EQ(Saturate<std::uint8_t>(-1), 0);
  EXPECT_EQ(Saturate<std::uint8_t>(256), 255);
}

}  // namespace
}  // namespace tomari
