#include "base/ini.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/fake_codec.h"
#include "support/fake_files.h"

namespace tomari {
namespace {

using namespace std::string_literals;
using test::FakeCodec;

constexpr const char* kPath = "C:\\Tomari\\Skins\\Test\\Test.tsk";

// UTF-16 LE bytes with a BOM, for files written by editors that use it.
std::string Utf16File(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t u : text) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

struct Ini : ::testing::Test {
  IniFile Parsed(const std::string& bytes, IniFile::Quotes q = IniFile::Quotes::kDouble) {
    IniFile ini(codec, q);
    ini.Parse(bytes);
    return ini;
  }
  FakeCodec codec;
  test::FakeFileSystem fs;
};

TEST_F(Ini, ReadsStringsByTheProfileRules) {
  const IniFile ini = Parsed(
      "[ Main ]\r\n  TIMING \t=  42 \t\r\nEmpty=\"\"\r\nSingle='x'\r\n \t;Hidden=1\r\n"
      "NoEquals\r\n=nameless\r\n[Broken\r\nA = x = y\r\nNul=ab\0cd\r\n[U]\r\nLast=end"s);
  // section, key, value ("?": the default comes back)
  const std::tuple<const char*, const char*, const char*> kRows[] = {
      {"MAIN", " Timing ", "42"}, {"Main", "Empty", ""},  {"Main", "Single", "'x'"},
      {"Main", ";Hidden", "?"},   {"Main", "A", "x = y"}, {"Main", "Nul", "ab"},
      {"Main", "NoEquals", "?"},  {"Main", "", "?"},      {"U", "Last", "end"}};
  for (const auto& [section, key, want] : kRows)
    EXPECT_EQ(ini.ReadString(section, key, "?", 0), want) << section << "/" << key;
  EXPECT_EQ(Parsed("[S]\rK=v\r").ReadString("S", "K", "none"), "none");

  // Skins were written against rules that take single quotes off too.
  const IniFile skin =
      Parsed("[S]\r\nA='#FF00FF'\r\nC='x\"\r\nD='\r\n", IniFile::Quotes::kDoubleOrSingle);
  for (const auto& [key, want] : {std::pair{"A", "#FF00FF"}, {"C", "'x\""}, {"D", "'"}})
    EXPECT_EQ(skin.ReadString("S", key, ""), want) << key;
}

TEST_F(Ini, IntegersAreSignedDecimalsClampedTo32Bits) {
  // An emptied value gives the default.
  using Row = std::pair<const char*, std::int32_t>;
  for (const auto& [text, want] :
       {Row{"-12", -12}, Row{"+7", 7}, Row{"\" -3\"", -3}, Row{"12abc", 12}, Row{"abc", 0},
        Row{"-", 0}, Row{"", 100}, Row{"2147483647", INT_MAX}, Row{"-2147483648", INT_MIN},
        Row{"99999999999999999999", INT_MAX}, Row{"-99999999999999999999", INT_MIN}})
    EXPECT_EQ(Parsed("[N]\r\nK="s + text + "\r\n").ReadInt("N", "K", 100), want) << text;
  const std::pair<std::int32_t, const char*> kFormatted[] = {
      {0, " 0"}, {-12, "-12"}, {INT_MIN, "-2147483648"}, {INT_MAX, " 2147483647"}};
  for (const auto& [n, text] : kFormatted) EXPECT_EQ(FormatIniInt(n), text);
}

TEST_F(Ini, TheValueCutCountsBytesOfTheFileAndSplitsNoCharacter) {
  // "あ" is two bytes in Shift-JIS.
  const IniFile sjis = Parsed(FakeCodec::Sjis("[S]\r\nStraddle=" + std::string(126, 'a') +
                                              "あ\r\nFits=" + std::string(125, 'a') + "あ\r\n"));
  EXPECT_EQ(sjis.ReadString("S", "Straddle", ""), std::string(126, 'a'));
  EXPECT_EQ(sjis.ReadString("S", "Fits", ""), std::string(125, 'a') + "あ");
  // UTF-16: 127 units; a surrogate pair is not split.
  const IniFile utf16 = Parsed(Utf16File(u"[S]\r\nK=" + std::u16string(126, u'a') + u"\U0001F600"));
  EXPECT_EQ(utf16.ReadString("S", "K", ""), std::string(126, 'a'));
}

TEST_F(Ini, WritesChangeAsLittleAsTheyCan) {
  // before, the writes ("Section/Key", value), after
  using Writes = std::vector<std::pair<std::string, std::string>>;
  const std::tuple<std::string, Writes, std::string> kRows[] = {
      {"; top\r\n[Main]\r\nTiming=50\r\nUnknown=keep\r\n\r\n; next\r\n[Other]\r\nTiming=7\r\n",
       {{"MAIN/timing", " 100"}},
       "; top\r\n[Main]\r\nTiming= 100\r\nUnknown=keep\r\n\r\n; next\r\n[Other]\r\nTiming=7\r\n"},
      {"[P]\n  X-Offset = -12\nY = 3\n",
       {{"P/X-Offset", "-12"}, {"P/Y", " 4"}},
       "[P]\n  X-Offset = -12\nY= 4\n"},
      {"[A]\r\nOne=1\r\n; remark\r\n\r\n[Empty]\r\n; nothing\r\n[B]\r\nX=1\r\n",
       {{"A/Two", "2"}, {"A/Three", "3"}, {"Empty/First", "f"}},
       "[A]\r\nOne=1\r\nTwo=2\r\nThree=3\r\n; remark\r\n\r\n[Empty]\r\nFirst=f\r\n; nothing\r\n"
       "[B]\r\nX=1\r\n"},
      {"[A]\r\nOne=1",
       {{"B/Two", "2"}, {"A/Three", "3"}, {"A/One", "9"}},
       "[A]\r\nOne=9\r\nThree=3\r\n[B]\r\nTwo=2\r\n"},
      {"[A]\nOne=1\r", {{"B/Two", "2"}}, "[A]\nOne=1\r\n[B]\r\nTwo=2\r\n"},
      {"", {{"S/K", "a\r\n[Evil]\nX=1\0rest"s}}, "[S]\r\nK=a  [Evil] X=1\r\n"},
      // Unchanged lines keep their bytes: 0x87 0x90 converts back as 0x81 0xE0, 0x81 0x20 is none.
      {"; \x87\x90 \x81\x20\r\n[S]\r\nK=1\r\n",
       {{"S/K", "2"}},
       "; \x87\x90 \x81\x20\r\n[S]\r\nK=2\r\n"},
      // An unpaired surrogate comes back as it was.
      {Utf16File(u"; \xD800 x\r\n[S]\r\nK=値\U0001F600\r\n"),
       {{"S/New", "Ω"}},
       Utf16File(u"; \xD800 x\r\n[S]\r\nK=値\U0001F600\r\nNew=Ω\r\n")},
      // A character without an exact CP932 form switches the file to UTF-8, carrying
      // bytes that were no character as they were.
      {"[S]\r\nTitle=\x83\x41\x88\r\n; \x81\x20\x85\x40 \x83\x41\r\n",
       {{"S/New", "Café"}},
       "\xEF\xBB\xBF[S]\r\nTitle=ア\x88\r\nNew=Café\r\n; \x81\x20\x85\x40 ア\r\n"}};
  for (const auto& [before, writes, after] : kRows) {
    IniFile ini = Parsed(before);
    for (const auto& [name, value] : writes)
      ini.Write(name.substr(0, name.find('/')), name.substr(name.find('/') + 1), value);
    const std::string bytes = ini.Serialize();
    EXPECT_EQ(bytes, after) << before;
    EXPECT_EQ(Parsed(bytes).Serialize(), bytes) << before;  // stable once written
  }
  EXPECT_EQ(Parsed(Utf16File(u"[S]\r\nK=1\r\n") + "A").ReadInt("S", "K", 0), 1);  // odd byte count
}

TEST_F(Ini, QuotedValuesReadBackAsGivenAndOthersStayBare) {
  using Row = std::tuple<const char*, const char*, const char*>;  // value, as written, as read
  for (const auto& [value, written, read] :
       {Row{"plain", "plain", "plain"}, Row{"", "", ""}, Row{" Title ", "\" Title \"", " Title "},
        Row{"\tTab", "\"\tTab\"", "\tTab"}, Row{"\"Quoted\"", "\"\"Quoted\"\"", "\"Quoted\""},
        Row{"\"open", "\"open", "\"open"}, Row{"\"", "\"", "\""},
        Row{"line\n", "\"line\n\"", "line "}}) {
    EXPECT_EQ(QuoteIniValue(value), written) << value;
    IniFile ini = Parsed("");
    ini.Write("S", "K", written);
    EXPECT_EQ(Parsed(ini.Serialize()).ReadString("S", "K", "?", 0), read) << value;
  }
}

TEST_F(Ini, FileConveniencesCreateAndNeverDamage) {
  EXPECT_TRUE(WriteIniString(fs, codec, kPath, "Main", "Timing", " 5"));
  EXPECT_EQ(fs.Get(kPath), "[Main]\r\nTiming= 5\r\n");
  EXPECT_EQ(ReadIniInt(fs, codec, kPath, "main", "timing", 0), 5);

  // A file that exists but cannot be read is not replaced by one that holds a single key.
  fs.failReads = true;
  EXPECT_FALSE(WriteIniString(fs, codec, kPath, "Main", "Timing", " 6"));
  EXPECT_EQ(fs.WriteCount(kPath), 1u);
}

}  // namespace
}  // namespace tomari
