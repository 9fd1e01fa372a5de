#include "base/ini.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "support/fake_codec.h"
#include "support/fake_files.h"

namespace tomari {
namespace {

using namespace std::string_literals;
using test::FakeCodec;
using test::FakeFileSystem;

constexpr const char* kPath = "C:\\Tomari\\Skins\\Test\\Test.tsk";

std::string Repeat(const std::string& s, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

// UTF-16 LE bytes with a BOM, for files written by editors that use it.
std::string Utf16File(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t u : text) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

class IniTest : public ::testing::Test {
 protected:
  IniFile Parsed(const std::string& bytes) {
    IniFile ini(codec_);
    ini.Parse(bytes);
    return ini;
  }
  FakeCodec codec_;
  FakeFileSystem fs_;
};

// ---- Reading ------------------------------------------------------------

using IniRead = IniTest;

TEST_F(IniRead, NamesIgnoreCaseAndBlanksAroundNamesAndValues) {
  IniFile ini = Parsed("[ Main ]\r\n  TIMING \t=  42 \t\r\n");
  EXPECT_EQ(ini.ReadInt("main", "timing", 0), 42);
  EXPECT_EQ(ini.ReadString("MAIN", " Timing ", "", 0), "42");
  EXPECT_FALSE(ini.Find("Main", "Timin").has_value());
  EXPECT_FALSE(ini.Find("Mai", "Timing").has_value());
}

TEST_F(IniRead, OnePairOfEnclosingDoubleQuotesIsRemoved) {
  IniFile ini = Parsed(
      "[S]\r\n"
      "Blanks=\" <hh:mm> \"\r\n"
      "Twice=\"\"q\"\"\r\n"
      "OpenOnly=\"abc\r\n"
      "Lone=\"\r\n"
      "Inner=a\"b\"\r\n"
      "Empty=\"\"\r\n"
      "Single='x'\r\n");
  EXPECT_EQ(ini.ReadString("S", "Blanks", "", 0), " <hh:mm> ");
  EXPECT_EQ(ini.ReadString("S", "Twice", "", 0), "\"q\"");
  EXPECT_EQ(ini.ReadString("S", "OpenOnly", "", 0), "\"abc");
  EXPECT_EQ(ini.ReadString("S", "Lone", "", 0), "\"");
  EXPECT_EQ(ini.ReadString("S", "Inner", "", 0), "a\"b\"");
  EXPECT_EQ(ini.ReadString("S", "Empty", "def", 0), "");
  EXPECT_EQ(ini.ReadString("S", "Single", "", 0), "'x'");

  // Skins were written against rules that take single quotes off too.
  IniFile skin(codec_, IniFile::Quotes::kDoubleOrSingle);
  skin.Parse("[S]\r\nA='#FF00FF'\r\nB=\"x\"\r\nC='x\"\r\nD='\r\nE=''''\r\n");
  EXPECT_EQ(skin.ReadString("S", "A", ""), "#FF00FF");
  EXPECT_EQ(skin.ReadString("S", "B", ""), "x");
  EXPECT_EQ(skin.ReadString("S", "C", ""), "'x\"");
  EXPECT_EQ(skin.ReadString("S", "D", ""), "'");
  EXPECT_EQ(skin.ReadString("S", "E", ""), "''");
}

TEST_F(IniRead, IntegersAreSignedDecimalsClampedTo32Bits) {
  IniFile ini = Parsed(
      "[N]\r\n"
      "Neg=-12\r\nPos= 12\r\nPlus=+7\r\nQuoted=\" -3\"\r\nTail=12abc\r\n"
      "Letters=abc\r\nSign=-\r\nHex=0x10\r\nMax=2147483647\r\nMin=-2147483648\r\n"
      "Big=99999999999999999999\r\nSmall=-99999999999999999999\r\nEmpty=\r\n"
      "Blank=\" \"\r\nSpaced=- 5\r\n");
  EXPECT_EQ(ini.ReadInt("N", "Neg", 0), -12);
  EXPECT_EQ(ini.ReadInt("N", "Pos", 0), 12);
  EXPECT_EQ(ini.ReadInt("N", "Plus", 0), 7);
  EXPECT_EQ(ini.ReadInt("N", "Quoted", 0), -3);
  EXPECT_EQ(ini.ReadInt("N", "Tail", 0), 12);
  EXPECT_EQ(ini.ReadInt("N", "Letters", 9), 0);
  EXPECT_EQ(ini.ReadInt("N", "Sign", 9), 0);
  EXPECT_EQ(ini.ReadInt("N", "Hex", 9), 0);
  EXPECT_EQ(ini.ReadInt("N", "Max", 0), INT_MAX);
  EXPECT_EQ(ini.ReadInt("N", "Min", 0), INT_MIN);
  EXPECT_EQ(ini.ReadInt("N", "Big", 0), INT_MAX);
  EXPECT_EQ(ini.ReadInt("N", "Small", 0), INT_MIN);
  EXPECT_EQ(ini.ReadInt("N", "Blank", 9), 0);
  EXPECT_EQ(ini.ReadInt("N", "Spaced", 9), 0);
  // An emptied value goes back to the default, as GetPrivateProfileInt does.
  EXPECT_EQ(ini.ReadInt("N", "Empty", 100), 100);
  EXPECT_EQ(ini.ReadInt("N", "Missing", 100), 100);
  EXPECT_EQ(ini.ReadInt("Nowhere", "Neg", -5), -5);
}

TEST_F(IniRead, MissingKeysGiveTheDefaultAsGiven) {
  IniFile ini = Parsed("[S]\r\nA=1\r\n");
  EXPECT_EQ(ini.ReadString("S", "B", "fallback"), "fallback");
  EXPECT_EQ(ini.ReadString("T", "A", Repeat("d", 200)), Repeat("d", 200));
}

TEST_F(IniRead, FirstOfDuplicateKeysAndSectionsWins) {
  IniFile ini = Parsed("[S]\r\nA=1\r\nA=2\r\n[T]\r\nB=3\r\n[s]\r\nA=4\r\nC=5\r\n");
  EXPECT_EQ(ini.ReadInt("S", "A", 0), 1);
  EXPECT_EQ(ini.ReadInt("T", "B", 0), 3);
  // Keys of a repeated section are not seen at all.
  EXPECT_FALSE(ini.Find("S", "C").has_value());
}

TEST_F(IniRead, SemicolonStartsACommentOnlyAtTheStartOfALine) {
  IniFile ini = Parsed(
      "[Skin]\r\n"
      ";Hidden=1\r\n"
      " \t; Indented=2\r\n"
      "Color=#FF8000 ; orange\r\n"
      "Semi=;x\r\n"
      "#Hash=3\r\n");
  EXPECT_FALSE(ini.Find("Skin", ";Hidden").has_value());
  EXPECT_FALSE(ini.Find("Skin", "Hidden").has_value());
  EXPECT_FALSE(ini.Find("Skin", "Indented").has_value());
  EXPECT_EQ(ini.ReadString("Skin", "Color", ""), "#FF8000 ; orange");
  EXPECT_EQ(ini.ReadString("Skin", "Semi", ""), ";x");
  EXPECT_EQ(ini.ReadInt("Skin", "#Hash", 0), 3);
}

TEST_F(IniRead, OddLinesAreKeptButNeverMatch) {
  IniFile ini = Parsed(
      "Top=1\n"  // before any section
      "[S]\n"    // LF only
      "NoEquals\n"
      "=nameless\n"
      "[Broken\n"  // not a header: keys below still belong to S
      "A = x = y\n"
      "Last=end");  // no line end
  EXPECT_FALSE(ini.Find("", "Top").has_value());
  EXPECT_FALSE(ini.Find("S", "NoEquals").has_value());
  EXPECT_FALSE(ini.Find("S", "").has_value());
  EXPECT_FALSE(ini.Find("Broken", "A").has_value());
  EXPECT_EQ(ini.ReadString("S", "A", ""), "x = y");
  EXPECT_EQ(ini.ReadString("S", "Last", ""), "end");
  EXPECT_EQ(Parsed("[S]\rK=v\r").ReadString("S", "K", "none"), "none");
  EXPECT_EQ(Parsed("[S]\nK=v\r").ReadString("S", "K", ""), "v");
}

TEST_F(IniRead, ValueEndsAtANul) {
  IniFile ini = Parsed("[S]\r\nK=ab\0cd\r\n"s);
  EXPECT_EQ(ini.ReadString("S", "K", ""), "ab");
}

// ---- The 127-byte cut -----------------------------------------------------

using IniLimit = IniTest;

TEST_F(IniLimit, LongValuesAreCutTo127BytesUnlessTheLimitIsZero) {
  fs_.Put(kPath, "[S]\r\nK=" + Repeat("x", 200) + "\r\n");
  EXPECT_EQ(ReadIniString(fs_, codec_, kPath, "S", "K", ""), Repeat("x", 127));
  EXPECT_EQ(ReadIniString(fs_, codec_, kPath, "S", "K", "", 0), Repeat("x", 200));
  EXPECT_EQ(ReadIniString(fs_, codec_, kPath, "S", "K", "", 10), Repeat("x", 10));
}

TEST_F(IniLimit, ShiftJisCharacterAcrossByte127IsDroppedWhole) {
  // "あ" is two bytes in Shift-JIS, three in UTF-8.
  IniFile ini = Parsed(FakeCodec::Sjis("[S]\r\nStraddle=" + Repeat("a", 126) +
                                       "あ\r\nFits=" + Repeat("a", 125) + "あ\r\n"));
  EXPECT_EQ(ini.ReadString("S", "Straddle", ""), Repeat("a", 126));
  EXPECT_EQ(ini.ReadString("S", "Fits", ""), Repeat("a", 125) + "あ");
}

TEST_F(IniLimit, CountsBytesOfTheFileNotOfUtf8) {
  // Half-width katakana: one byte in Shift-JIS, three in UTF-8.
  IniFile sjis = Parsed(FakeCodec::Sjis("[S]\r\nK=" + Repeat("ｱ", 130) + "\r\n"));
  EXPECT_EQ(sjis.ReadString("S", "K", ""), Repeat("ｱ", 127));

  IniFile utf8 =
      Parsed("\xEF\xBB\xBF[S]\r\nK=" + Repeat("a", 126) + "あ\r\nJ=" + Repeat("a", 124) + "あ\r\n");
  EXPECT_EQ(utf8.ReadString("S", "K", ""), Repeat("a", 126));
  EXPECT_EQ(utf8.ReadString("S", "J", ""), Repeat("a", 124) + "あ");

  // UTF-16: 127 units; a surrogate pair is not split.
  IniFile utf16 = Parsed(Utf16File(u"[S]\r\nK=" + std::u16string(126, u'a') + u"\U0001F600\r\n"));
  EXPECT_EQ(utf16.ReadString("S", "K", ""), Repeat("a", 126));
}

// ---- Writing --------------------------------------------------------------

using IniWrite = IniTest;

TEST_F(IniWrite, ReplacesInPlaceAndKeepsEverythingElse) {
  const std::string before =
      "; comment at the top\r\n"
      "[Main]\r\n"
      "Timing=50\r\n"
      "Unknown=keep\r\n"
      "\r\n"
      "; about the next one\r\n"
      "[Other]\r\n"
      "Timing=7\r\n";
  IniFile ini = Parsed(before);
  ini.Write("MAIN", "timing", " 100");
  EXPECT_EQ(ini.Serialize(),
            "; comment at the top\r\n"
            "[Main]\r\n"
            "Timing= 100\r\n"
            "Unknown=keep\r\n"
            "\r\n"
            "; about the next one\r\n"
            "[Other]\r\n"
            "Timing=7\r\n");
}

TEST_F(IniWrite, UnchangedValueLeavesTheLineAsTheUserWroteIt) {
  IniFile ini = Parsed("[P]\n  X-Offset = -12\nY = 3\n");
  ini.Write("P", "X-Offset", "-12");
  ini.Write("P", "Y", " 4");
  EXPECT_EQ(ini.Serialize(), "[P]\n  X-Offset = -12\nY= 4\n");
}

TEST_F(IniWrite, NewKeyGoesAfterTheLastKeyOfItsSection) {
  IniFile ini = Parsed(
      "[A]\r\n"
      "One=1\r\n"
      "; trailing remark\r\n"
      "\r\n"
      "[Empty]\r\n"
      "; nothing yet\r\n"
      "[B]\r\n"
      "X=1\r\n");
  ini.Write("A", "Two", "2");
  ini.Write("A", "Three", "3");
  ini.Write("Empty", "First", "f");
  EXPECT_EQ(ini.Serialize(),
            "[A]\r\n"
            "One=1\r\n"
            "Two=2\r\n"
            "Three=3\r\n"
            "; trailing remark\r\n"
            "\r\n"
            "[Empty]\r\n"
            "First=f\r\n"
            "; nothing yet\r\n"
            "[B]\r\n"
            "X=1\r\n");
}

TEST_F(IniWrite, NewSectionGoesAtTheEndWithoutBlankLines) {
  IniFile ini = Parsed("[A]\r\nOne=1");  // last line without a line end
  ini.Write("B", "Two", "2");
  ini.Write("A", "Three", "3");
  EXPECT_EQ(ini.Serialize(), "[A]\r\nOne=1\r\nThree=3\r\n[B]\r\nTwo=2\r\n");
  IniFile cr = Parsed("[A]\nOne=1\r");
  cr.Write("B", "Two", "2");
  EXPECT_EQ(cr.Serialize(), "[A]\nOne=1\r\n[B]\r\nTwo=2\r\n");
  // A rewritten last line gets its line end too.
  IniFile last = Parsed("[A]\r\nOne=1");
  last.Write("A", "One", "9");
  EXPECT_EQ(last.Serialize(), "[A]\r\nOne=9\r\n");
}

TEST_F(IniWrite, KeepsTheSpellingOfExistingNames) {
  IniFile ini = Parsed("[main]\r\nTIMING=1\r\n");
  ini.Write("Main", "Timing", " 2");
  EXPECT_EQ(ini.Serialize(), "[main]\r\nTIMING= 2\r\n");
}

TEST_F(IniWrite, OnlyTheFirstOfDuplicatesIsChanged) {
  IniFile ini = Parsed("[S]\r\nA=1\r\nA=2\r\n[S]\r\nA=3\r\n");
  ini.Write("S", "A", "9");
  ini.Write("S", "B", "8");
  EXPECT_EQ(ini.Serialize(), "[S]\r\nA=9\r\nA=2\r\nB=8\r\n[S]\r\nA=3\r\n");
}

TEST_F(IniWrite, AValueCannotAddLines) {
  IniFile ini = Parsed("");
  ini.Write("S", "K", "a\r\n[Evil]\nX=1\0rest"s);
  EXPECT_EQ(ini.Serialize(), "[S]\r\nK=a  [Evil] X=1\r\n");
  EXPECT_FALSE(ini.Find("Evil", "X").has_value());
}

TEST_F(IniWrite, BytesWithoutARoundTripSurviveUnrelatedWrites) {
  // 0x87 0x90 (a NEC duplicate of "≒") converts back as 0x81 0xE0, and 0x81 0x20
  // is no character at all: lines we do not change keep their bytes.
  const std::string odd = "; \x87\x90 \x81\x20\r\n";
  IniFile ini = Parsed(odd + "[S]\r\nK=1\r\n");
  ini.Write("S", "K", "2");
  EXPECT_EQ(ini.Serialize(), odd + "[S]\r\nK=2\r\n");
}

TEST_F(IniWrite, WriteIniStringCreatesAMissingFile) {
  EXPECT_TRUE(WriteIniString(fs_, codec_, kPath, "Main", "Skin", "C:\\a.tsk"));
  EXPECT_EQ(fs_.Get(kPath), "[Main]\r\nSkin=C:\\a.tsk\r\n");
  EXPECT_TRUE(WriteIniString(fs_, codec_, kPath, "Main", "Timing", " 5"));
  EXPECT_EQ(fs_.Get(kPath), "[Main]\r\nSkin=C:\\a.tsk\r\nTiming= 5\r\n");
  EXPECT_EQ(ReadIniInt(fs_, codec_, kPath, "main", "timing", 0), 5);
}

TEST_F(IniWrite, FailedWritesLeaveTheOldFile) {
  fs_.Put(kPath, "[S]\r\nK=old\r\n");
  fs_.failWrites = true;
  EXPECT_FALSE(WriteIniString(fs_, codec_, kPath, "S", "K", "new"));
  EXPECT_EQ(fs_.Get(kPath), "[S]\r\nK=old\r\n");

  // A file that exists but cannot be read is not overwritten with one key.
  fs_.failWrites = false;
  fs_.failReads = true;
  EXPECT_FALSE(WriteIniString(fs_, codec_, kPath, "S", "K", "new"));
  EXPECT_EQ(fs_.WriteCount(kPath), 0u);
}

TEST_F(IniWrite, QuotedValuesReadBackAsGivenAndOthersStayBare) {
  const struct {
    const char* value;
    const char* written;
    const char* read;  // what a later load gives
  } cases[] = {
      {"plain", "plain", "plain"},
      {"a \"b\" c", "a \"b\" c", "a \"b\" c"},
      {"", "", ""},
      {" Title ", "\" Title \"", " Title "},
      {"\tTab", "\"\tTab\"", "\tTab"},
      {"\"Quoted\"", "\"\"Quoted\"\"", "\"Quoted\""},
      {"\"open", "\"open", "\"open"},
      {"\"", "\"", "\""},
      {"line\n", "\"line\n\"", "line "},  // Write turns the break into a blank
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QuoteIniValue(c.value), c.written) << c.value;
    IniFile ini = Parsed("");
    ini.Write("S", "K", QuoteIniValue(c.value));
    EXPECT_EQ(Parsed(ini.Serialize()).ReadString("S", "K", "?", 0), c.read) << c.value;
  }
}

TEST(IniFormat, IntegersAreSignPadded) {
  EXPECT_EQ(FormatIniInt(0), " 0");
  EXPECT_EQ(FormatIniInt(100), " 100");
  EXPECT_EQ(FormatIniInt(-12), "-12");
  EXPECT_EQ(FormatIniInt(INT_MIN), "-2147483648");
  EXPECT_EQ(FormatIniInt(INT_MAX), " 2147483647");
}

// ---- Encodings ------------------------------------------------------------

using IniEncoding = IniTest;

TEST_F(IniEncoding, AnsiFilesAreShiftJisBothWays) {
  IniFile ini = Parsed(FakeCodec::Sjis("; 設定\r\n[Capture]\r\nSaveFolder=D:\\画像\\\r\n"));
  EXPECT_EQ(ini.ReadString("Capture", "SaveFolder", ""), "D:\\画像\\");
  ini.Write("Capture", "SaveFolder", "E:\\表示\\");
  ini.Write("除外", "名前", "メモ帳");
  EXPECT_EQ(ini.Serialize(), FakeCodec::Sjis("; 設定\r\n[Capture]\r\nSaveFolder=E:\\表示\\\r\n"
                                             "[除外]\r\n名前=メモ帳\r\n"));
  EXPECT_EQ(ini.encoding(), IniFile::Encoding::kAnsi);
}

TEST_F(IniEncoding, Utf8BomFilesStayUtf8) {
  IniFile ini = Parsed("\xEF\xBB\xBF[S]\r\nTitle=Ελληνικά\r\n");
  EXPECT_EQ(ini.encoding(), IniFile::Encoding::kUtf8Bom);
  EXPECT_EQ(ini.ReadString("S", "Title", ""), "Ελληνικά");
  ini.Write("S", "Name", "é 🙂");
  EXPECT_EQ(ini.Serialize(), "\xEF\xBB\xBF[S]\r\nTitle=Ελληνικά\r\nName=é 🙂\r\n");
}

TEST_F(IniEncoding, Utf16LeBomFilesStayUtf16) {
  IniFile ini = Parsed(Utf16File(u"[S]\r\nK=値\U0001F600\r\n"));
  EXPECT_EQ(ini.encoding(), IniFile::Encoding::kUtf16LeBom);
  EXPECT_EQ(ini.ReadString("S", "K", ""), "値😀");
  ini.Write("S", "New", "Ω");
  EXPECT_EQ(ini.Serialize(), Utf16File(u"[S]\r\nK=値\U0001F600\r\nNew=Ω\r\n"));
}

TEST_F(IniEncoding, BrokenUtf16SurvivesARewrite) {
  // An unpaired surrogate in a comment and an odd byte count must not crash,
  // and the surrogate comes back as it was.
  std::string bytes = Utf16File(u"; \xD800 x\r\n[S]\r\nK=1\r\n");
  IniFile ini = Parsed(bytes);
  EXPECT_EQ(ini.ReadInt("S", "K", 0), 1);
  ini.Write("S", "K", "2");
  EXPECT_EQ(ini.Serialize(), Utf16File(u"; \xD800 x\r\n[S]\r\nK=2\r\n"));
  EXPECT_EQ(Parsed(bytes + "A").ReadInt("S", "K", 0), 1);
}

TEST_F(IniEncoding, AValueWithoutAnAnsiFormTurnsTheFileIntoUtf8) {
  fs_.Put(kPath, FakeCodec::Sjis("; 設定\r\n[AntiPercher001]\r\nName=メモ\r\n"));
  EXPECT_TRUE(WriteIniString(fs_, codec_, kPath, "AntiPercher001", "WindowTitle", "Café 🙂"));
  EXPECT_EQ(fs_.Get(kPath),
            "\xEF\xBB\xBF; 設定\r\n[AntiPercher001]\r\nName=メモ\r\n"
            "WindowTitle=Café 🙂\r\n");
  EXPECT_EQ(ReadIniString(fs_, codec_, kPath, "AntiPercher001", "WindowTitle", ""), "Café 🙂");
  EXPECT_EQ(ReadIniString(fs_, codec_, kPath, "AntiPercher001", "Name", ""), "メモ");
}

TEST_F(IniEncoding, CharactersTheSystemOnlyApproximatesAlsoTurnTheFileIntoUtf8) {
  // 〜 ¥ − — ¢ have CP932 look-alikes but no exact form; ～ has one.
  for (const std::string text : {"〜", "¥", "−", "—", "¢", "～"}) {
    IniFile ini = Parsed("[S]\r\n");
    ini.Write("S", "K", text);
    const std::string want = text == "～" ? "[S]\r\nK=" + FakeCodec::Sjis(text) + "\r\n"
                                          : "\xEF\xBB\xBF[S]\r\nK=" + text + "\r\n";
    EXPECT_EQ(ini.Serialize(), want) << text;
  }
}

TEST_F(IniEncoding, TheSwitchToUtf8CarriesBytesThatWereNoCharacter) {
  // A stray byte after ア, a lead byte before a blank, a pair CP932 does not
  // define: each stays as it was; the characters around them are converted.
  IniFile ini = Parsed("[S]\r\nTitle=\x83\x41\x88\r\n; \x81\x20\x85\x40 \x83\x41\r\n");
  ini.Write("S", "New", "Café");
  const std::string utf8 =
      "\xEF\xBB\xBF[S]\r\nTitle=ア\x88\r\nNew=Café\r\n; \x81\x20\x85\x40 ア\r\n";
  EXPECT_EQ(ini.Serialize(), utf8);
  // Once switched, later loads and saves keep the same bytes.
  EXPECT_EQ(Parsed(utf8).Serialize(), utf8);
}

}  // namespace
}  // namespace tomari
