// Tomari.exe on folders with hostile skins, pictures and settings: it comes up, keeps answering
// and leaves every file as it was (but Setting.ini, whose save must keep what it does not own).
#include <gtest/gtest.h>

#include <map>

#include "win32/win32_test_support.h"
#include "imaging/wic_codec.h"

using namespace win32test;

namespace {

using Files = std::map<std::wstring, std::string>;

void Snapshot(const std::wstring& dir, const std::wstring& rel, Files& out) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + rel + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      Snapshot(dir, rel + name + L"\\", out);
    else
      out[rel + name] = ReadBytes(dir + rel + name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

std::string Repeat(int n, std::string (*line)(int)) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += line(i);
  return s;
}
std::string Truncated(const std::string& bytes) { return bytes.substr(0, bytes.size() / 2); }

// A skin Bad.tsk beside the Default skin's pictures, and buttons for it.
const std::wstring kSkinDir = L"Skins\\Default\\";
const std::string kUseBad = "[Main]\r\nSkin={DIR}Skins\\Default\\Bad.tsk\r\n";
const std::string kSkin = "[Skin]\r\nBackColor=#FF00FF\r\nBack=Back.bmp\r\nFloat=Float.bmp\r\n";
std::string Button(int n, std::string l, std::string t, std::string w, std::string h,
                   const std::string& more = "") {
  char name[24];
  snprintf(name, sizeof name, "[Button%02d]\r\nType=", n);
  return name + ("CAPTUREALL\r\nLeft=" + l + "\r\nTop=" + t + "\r\nWidth=" + w + "\r\nHeight=" + h +
                 "\r\n" + more);
}
void WriteSkin(const std::wstring& dir, const std::string& text) {
  WriteBytes(dir + kSkinDir + L"Bad.tsk", text);
}

// A 10000 x 10000 BMP kept small by RLE8: every row is runs of one colour.
std::string HugeRle8Bmp() {
  std::string rows;
  for (int y = 0; y < 10000; ++y) {
    for (int left = 10000; left > 0; left -= 255) rows += {char(std::min(left, 255)), char(y & 1)};
    rows += {0, 0};
  }
  rows += {0, 1};
  std::string h(14 + 40 + 8, '\0');
  auto put = [&](int at, uint32_t v) { memcpy(&h[at], &v, 4); };
  h[0] = 'B', h[1] = 'M';
  put(2, static_cast<uint32_t>(h.size() + rows.size())), put(10, static_cast<uint32_t>(h.size()));
  put(14, 40), put(18, 10000), put(22, 10000), put(26, 1 | 8 << 16), put(30, 1 /* BI_RLE8 */);
  put(34, static_cast<uint32_t>(rows.size())), put(46, 2), put(54, 0xFF00FF), put(58, 0x336699);
  return h + rows;
}
// Half of a JPEG, PNG, GIF and BMP each, as t.jpg, t.png, t.gif, t.bmp.
void WriteTruncatedPictures(const std::wstring& d) {
  tomari::Bitmap b;
  tomari::wic::DecodeFile(d + kSkinDir + L"Back.bmp", b);
  tomari::wic::EncodeFile(b, d + L"t.jpg", tomari::wic::Format::Jpeg, {});
  static constexpr char kGif[] =  // 2 x 2, two colours
      "GIF89a\2\0\2\0\x80\0\0\xff\0\xff\x33\x66\x99,\0\0\0\0\2\0\2\0\0\2\2\x84\x51\0;";
  const std::pair<const wchar_t*, std::string> kFiles[] = {
      {L"t.jpg", ReadBytes(d + L"t.jpg")},
      {L"t.png", ReadBytes(d + L"Skins\\Branch\\Back.png")},
      {L"t.gif", std::string(kGif, sizeof kGif - 1)},
      {L"t.bmp", ReadBytes(d + kSkinDir + L"Back.bmp")}};
  DeleteFileW((d + L"t.jpg").c_str());
  for (const auto& [name, bytes] : kFiles) WriteBytes(d + kSkinDir + name, Truncated(bytes));
}
std::string Bulk(int i) { return "Key" + std::to_string(i) + "=" + std::string(40, 'x') + "\r\n"; }
std::string Exclusion(int i) {
  char s[80];
  snprintf(s, sizeof s, "[AntiPercher%03d]\r\nName=n%d\r\nWindowTitle=t\r\nInTitle=1\r\n", i, i);
  return s;
}

struct Case {
  const char* name;
  std::string settings{};  // Setting.ini; "{DIR}" is the program's folder
  void (*prepare)(const std::wstring& dir);
  bool saves = true;                                     // Setting.ini is written on exit
  std::string mustKeep = "Skins\\Default\\Bad.tsk\r\n";  // what the save must keep
  bool lockSettings = false;
  std::wstring title = L"Malformed";
};

const Case kCases[] = {
    {"HugeAndNegativeCoordinates", kUseBad,
     [](const std::wstring& d) {
       WriteSkin(d, kSkin + Button(1, "2147483647", "-2147483648", "2147483647", "99") +
                        Button(2, "-2147483648", "-5", "-2147483648", "2147483647") +
                        Button(3, "-30", "-30", "99999999", "99999999", "Down=Down.bmp\r\n"));
     }},
    {"NinetyNineButtons", kUseBad,
     [](const std::wstring& d) {
       std::string s = kSkin;
       for (int n = 1; n <= 100; ++n)
         s += Button(n, std::to_string(n % 60), "1", "30", "20",
                     "Down=Down.bmp\r\nCursor=none.cur\r\nToolTip=b" + std::to_string(n) + "\r\n");
       WriteSkin(d, s);
     }},
    {"Back10000x10000", kUseBad,
     [](const std::wstring& d) {
       WriteBytes(d + kSkinDir + L"Huge.bmp", HugeRle8Bmp());
       WriteSkin(d, "[Skin]\r\nBack=Huge.bmp\r\n" + Button(1, "0", "0", "9", "9"));
     }},
    {"TruncatedPngJpegGif", kUseBad,
     [](const std::wstring& d) {
       WriteTruncatedPictures(d);
       WriteSkin(d, "[Skin]\r\nBack=t.png\r\nFloat=t.jpg\r\nDown=t.gif\r\n" +
                        Button(1, "0", "0", "9", "9", "Available=t.bmp\r\n"));
     }},
    {"TruncatedBmp", kUseBad,
     [](const std::wstring& d) {
       WriteTruncatedPictures(d);
       WriteSkin(d, "[Skin]\r\nBack=t.bmp\r\nDown=t.jpg\r\n" + Button(1, "0", "0", "9", "9"));
     }},
    {"NotShiftJis",
     kUseBad + "[Capture]\r\nSaveFolder=C:\\\x81\x7f\xff\\\r\n"
               "[AntiPercher001]\r\nName=\x82\xa0\x82\r\nWindowTitle=\xfd\xfe\x80\xa0\r\n",
     [](const std::wstring& d) {
       WriteSkin(d, kSkin + Button(1, "0", "0", "9", "9", "ToolTip=\x81\x7f\xff\xe0\r\n"));
     },
     true, "Name=\x82\xa0\x82\r\nWindowTitle=\xfd\xfe\x80\xa0\r\n"},
    {"TenMegabyteSettings", "",
     [](const std::wstring& d) {
       WriteBytes(d + L"Setting.ini", "[Main]\r\nTiming=50\r\n[Bulk]\r\n" +
                                              Repeat(200000, Bulk) + "[Other]\r\nK=v");
     },
     true, Bulk(199999) + Bulk(200000) + "[Other]\r\nK=v"},
    {"ThousandExclusions", "",
     [](const std::wstring& d) { WriteBytes(d + L"Setting.ini", Repeat(1000, Exclusion)); },
     true, Exclusion(1000)},
    {"UnreadableSettings", "[Main]\r\nTiming=77\r\n", nullptr, false, "", true},
    {"TitleOf10000Characters", "[TitleClock]\r\nCheck=-1\r\n", nullptr, true, "Check=-1", false,
     std::wstring(10000, L'題')},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Malformed : public testing::TestWithParam<Case> {};

TEST_P(Malformed, TheProgramRunsAndDamagesNoFile) {
  const Case& c = GetParam();
  const std::wstring shot = L"malformed-" + std::wstring(c.name, c.name + strlen(c.name));
  const std::wstring dir = ProgramCopy(shot);
  std::string settings = c.settings;
  for (size_t at; (at = settings.find("{DIR}")) != std::string::npos;)
    settings.replace(at, 5, Narrow(dir));
  if (!settings.empty()) WriteBytes(dir + L"Setting.ini", settings);
  if (c.prepare) c.prepare(dir);
  Files before;
  Snapshot(dir, L"", before);

  Target target;
  HWND t = target.Start(L"--rect 300,300,400,300 --title \"" + c.title + L"\"", true) ? target.hwnd() : nullptr;
  ASSERT_TRUE(t);
  HANDLE lock = c.lockSettings ? CreateFileW((dir + L"Setting.ini").c_str(), GENERIC_READ, 0,
                                             nullptr, OPEN_EXISTING, 0, nullptr)
                               : INVALID_HANDLE_VALUE;
  Process tomari;
  ASSERT_TRUE(tomari.Start(dir + L"Tomari.exe", L""));
  HWND widget = FindWindowOf(tomari.Id(), L"TomariWidget", 20000);
  if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
  ASSERT_TRUE(widget) << "no widget came up";
  Pump(1500);  // the ticks run against the target meanwhile
  DWORD_PTR answer = 0;
  EXPECT_TRUE(SendMessageTimeoutW(widget, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer))
      << "the widget stopped answering";
  const RECT w = WindowRect(widget);
  EXPECT_TRUE(w.right > w.left && w.bottom > w.top) << "nothing to see or click";
  EXPECT_TRUE(c.title.size() < 1000 || GetWindowTextLengthW(t) > 10000) << "no clock in the title";
  SaveScreenshot(shot);
  PostMessageW(widget, WM_CLOSE, 0, 0);
  ASSERT_TRUE(tomari.WaitExit(20000)) << "the program did not end";
  DWORD code = 1;
  GetExitCodeProcess(tomari.Handle(), &code);
  std::printf("[ case ] %s: widget %ldx%ld, exit %lu\n", c.name, w.right - w.left, w.bottom - w.top,
              code);

  std::wstring title(10050, L'\0');
  title.resize(GetWindowTextW(t, title.data(), 10050));
  EXPECT_TRUE(title == c.title) << "the target's title was not given back";
  Files after;
  Snapshot(dir, L"", after);
  for (const auto& [name, bytes] : before) {
    const bool intended = c.saves && name == L"Setting.ini";
    EXPECT_TRUE(intended || after[name] == bytes) << Narrow(name);
  }
  EXPECT_EQ(after.size(), before.size()) << "files were left behind";
  if (c.saves) {
    EXPECT_NE(after[L"Setting.ini"].find(c.mustKeep), std::string::npos)
        << "the save lost what it did not own";
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, Malformed, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
