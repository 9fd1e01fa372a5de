// The title clock's Win32 side: the string table agrees with the core's zone
// table and formatter, and the locale port reports the Japanese formats, which
// the core then renders as the system itself would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "clock/date_format.h"
#include "clock/title_clock.h"
#include "clock/world_time.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_locale.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return DateTime{y, mo, d, h, mi, s, 0, 0};
}

// The strings live in Tomari.exe; a test program that links strings.rc itself
// carries them too.
class StringTable : public testing::Test {
 protected:
  void SetUp() override {
    if (HasStrings(GetModuleHandleW(nullptr))) {
      module_ = GetModuleHandleW(nullptr);
      return;
    }
    const std::wstring exe = win32test::TestBinDir() + L"..\\Tomari\\Tomari.exe";
    loaded_ = LoadLibraryExW(exe.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (loaded_ != nullptr && HasStrings(loaded_)) {
      module_ = loaded_;
      return;
    }
    GTEST_SKIP() << "no module with the string table (Tomari.exe not built, or built "
                    "without strings.rc)";
  }
  void TearDown() override {
    if (loaded_ != nullptr) FreeLibrary(loaded_);
  }
  static bool HasStrings(HMODULE m) {
    wchar_t buf[8];
    return m != nullptr && LoadStringW(m, 101, buf, 8) > 0;
  }
  std::string String(UINT id) const {
    const wchar_t* p = nullptr;
    // A length of 0 hands out a pointer into the resource itself: no limit.
    const int n = LoadStringW(module_, id, reinterpret_cast<LPWSTR>(&p), 0);
    return n > 0 ? WideToUtf8(std::wstring_view(p, static_cast<size_t>(n))) : std::string();
  }

  HMODULE module_ = nullptr;
  HMODULE loaded_ = nullptr;
};

TEST_F(StringTable, ZonesAreTheCoresTable) {
  for (const TimeZoneCity& city : TimeZoneCities()) {
    const UINT k = static_cast<UINT>(city.index);
    EXPECT_EQ(String(499 + k), city.name) << k;
    EXPECT_EQ(String(599 + k), city.offsetText) << k;
    EXPECT_EQ(ParseOffsetMinutes(String(599 + k)), city.offsetMinutes) << k;
  }
  // Nothing beyond the table's ends.
  EXPECT_EQ(String(499), "");
  EXPECT_EQ(String(531), "");
  EXPECT_EQ(String(631), "");
}

TEST_F(StringTable, EveryComposerTokenPrintsTheTime) {
  // Separators other than the Japanese ones, so that ":" and "/" show they are tokens.
  LocaleFormats loc;
  loc.timeSeparator = std::string(1, '.');
  loc.dateSeparator = std::string(1, '-');
  const DateTime t = At(2003, 1, 17, 17, 30, 5);
  for (UINT id = 101; id <= 138; ++id) {
    const std::string token = String(id);
    ASSERT_FALSE(token.empty()) << id;
    const std::string out = FormatDateTime(BuildClockFormat(token), t, loc);
    EXPECT_NE(out, token) << id << " \"" << token << "\" prints itself";
  }
  EXPECT_EQ(String(133), "t t t t t ");
  EXPECT_EQ(FormatDateTime(String(133), t, loc), "17:30:05 ");
}

TEST_F(StringTable, ExplanationsAreThereAndNameTheNewEra) {
  for (UINT id = 201; id <= 238; ++id) {
    const std::string text = String(id);
    EXPECT_GT(CharacterCount(text), 10u) << id;
  }
  EXPECT_NE(String(219).find("H、R"), std::string::npos);
  EXPECT_NE(String(220).find("平、令"), std::string::npos);
  EXPECT_NE(String(221).find("平成、令和"), std::string::npos);
}

// Each ready-made format, applied to its example's date, gives the example.
TEST_F(StringTable, PresetsPrintTheirExamples) {
  const LocaleFormats ja;  // the Japanese defaults; the presets use no locale token
  const DateTime tuesday = At(1984, 1, 17, 17, 30, 30);
  const DateTime sunday = At(1984, 1, 22, 17, 30, 30);
  for (UINT row = 0; row < 12; ++row) {
    const std::string preset = String(301 + row);
    const std::string example = String(401 + row);
    const auto crlf = example.find("\r\n");
    ASSERT_NE(crlf, std::string::npos) << row;
    const DateTime& when = example.rfind("日曜日の場合", 0) == 0 ? sunday : tuesday;
    EXPECT_EQ(FormatDateTime(BuildClockFormat(preset), when, ja), example.substr(crlf + 2))
        << row << " \"" << preset << "\"";
  }
}

TEST(LocaleTest, JapaneseUserLocaleGivesTheJapaneseFormats) {
  ASSERT_EQ(GetUserDefaultLCID(), 0x411u) << "run under LANG=ja_JP.UTF-8";
  Win32Locale locale;
  const LocaleFormats& f = locale.Formats();
  EXPECT_EQ(f.timeSeparator, ":");
  EXPECT_EQ(f.dateSeparator, "/");
  // The date and time pictures are compared with the system's own output below.
  EXPECT_EQ(f.am, "午前");
  EXPECT_EQ(f.pm, "午後");
  EXPECT_EQ(f.dayNames[0], "日曜日");
  EXPECT_EQ(f.abbrevDayNames[6], "土");
  EXPECT_EQ(f.monthNames[11], "12月");
  EXPECT_FALSE(f.eraCalendar);
  EXPECT_EQ(f.gregorianEraName, "西暦");
  // The title clock's own example, with this locale.
  const DateTime friday = At(2003, 1, 17, 17, 30, 5);
  EXPECT_EQ(FormatDateTime(BuildClockFormat(" <yyyy/mm/dd hh:mm:ss> "), friday, f),
            " <2003/01/17 17:30:05> ");
  EXPECT_EQ(FormatDateTime("h AMPM ttttt", friday, f), "5 午後 17:30:05");
}

std::string SystemDate(DWORD flags, const SYSTEMTIME& st) {
  wchar_t buf[128];
  const int n = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, flags, &st, nullptr, buf, 128, nullptr);
  return n > 1 ? WideToUtf8(std::wstring_view(buf, static_cast<size_t>(n - 1))) : std::string();
}

std::string SystemTime(const SYSTEMTIME& st) {
  wchar_t buf[128];
  const int n = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, buf, 128);
  return n > 1 ? WideToUtf8(std::wstring_view(buf, static_cast<size_t>(n - 1))) : std::string();
}

// The core renders the locale's pictures itself; it must agree with the system.
TEST(LocaleTest, CoreRendersTheLocaleFormsAsTheSystemDoes) {
  Win32Locale locale;
  const LocaleFormats& f = locale.Formats();
  const DateTime samples[] = {At(2003, 1, 17, 17, 30, 5), At(1989, 1, 8, 0, 0, 0),
                              At(2019, 5, 1, 9, 5, 9), At(2000, 12, 31, 23, 59, 59),
                              At(1999, 7, 4, 12, 0, 0)};
  for (const DateTime& t : samples) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wDayOfWeek = static_cast<WORD>(DayOfWeek(t.year, t.month, t.day));
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    EXPECT_EQ(FormatDateTime("ddddd", t, f), SystemDate(DATE_SHORTDATE, st));
    EXPECT_EQ(FormatDateTime("dddddd", t, f), SystemDate(DATE_LONGDATE, st));
    EXPECT_EQ(FormatDateTime("ttttt", t, f), SystemTime(st));
  }
}

}  // namespace
}  // namespace tomari
