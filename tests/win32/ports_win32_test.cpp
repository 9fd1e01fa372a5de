// The ports over the real system under Wine: windows of another process
// (target_app.exe), a hung one among them, files, folders, the code page and
// window texts. What the core does with them is the unit tests' business.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/text_grab.h"
#include "win32/ports/own_thread.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_capture.h"
#include "win32/ports/win_codec.h"
#include "win32/ports/win_directory.h"
#include "win32/ports/win_files.h"
#include "win32/ports/win_text_grab.h"
#include "win32/ports/win_windows.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

using namespace win32test;

TEST(WindowSystem, TitlesAndTextsOfAnotherProcessAreWholeAndAGoneWindowIsLeftAlone) {
  Win32WindowSystem ws;
  Target target;
  ASSERT_TRUE(target.Start(L"--title \"한국어 제목 😀\" --edit"));
  const WindowHandle t = FromHwnd(target.hwnd());
  // Korean and an emoji have no ANSI form; a long title is read whole.
  EXPECT_EQ(ws.GetTitle(t), "한국어 제목 😀");
  const HWND edit = FindWindowExW(target.hwnd(), nullptr, L"EDIT", nullptr);
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"первый 😀"));
  Win32WindowTexts texts;  // what the text grab reads
  EXPECT_EQ(texts.Title(t), "한국어 제목 😀");
  EXPECT_EQ(texts.TextByMessage(FromHwnd(edit), 1000), "первый 😀");
  std::string longTitle = "🕒 Ünïcödé";
  for (int i = 0; i < 700; ++i) longTitle += "時計";
  EXPECT_TRUE(ws.SetTitle(t, longTitle));
  EXPECT_TRUE(ws.GetTitle(t) == longTitle) << "long titles are read whole";
  EXPECT_TRUE(ws.SetExStyle(t, 0)) << "a style of 0 is a real style, not a failure";

  // A window that is gone is left alone and nothing is reported.
  target.Kill();
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(ToHwnd(t)); }));
  for (WindowHandle g : {t, WindowHandle{0}}) {
    Rect kept{7, 7, 7, 7};
    EXPECT_FALSE(ws.GetRect(g, kept));
    EXPECT_EQ(kept, (Rect{7, 7, 7, 7}));
    EXPECT_EQ(ws.GetTitle(g) + ws.ClassNameOf(g), "");
    EXPECT_FALSE(ws.SetTitle(g, "x") || ws.SetExStyle(g, kExLayered) || ws.SetTopMost(g, true) ||
                 ws.MoveTo(g, 0, 0) || ws.SetLayered(g, 0, 10, kLwaAlpha) || ws.IsHung(g) ||
                 ws.GetLayered(g).readable || ws.IsWindow(g));
    EXPECT_EQ(ws.GetExStyle(g) + ws.GetParent(g), 0u);
  }
}

TEST(WindowSystem, LayeredAttributesReadBackAsTheirProgramSetThemOrNotAtAll) {
  Win32WindowSystem ws;
  const struct {
    const wchar_t* args;
    const char* expected;  // readable, flags, colour key, alpha (with kLwaAlpha)
  } cases[] = {
      {L"--alpha 200", "1 2 0 200"},
      {L"--colorkey FF00FF", "1 1 16711935 0"},
      {L"--per-pixel-alpha", "0 0 0 0"},  // drawn through UpdateLayeredWindow
  };
  for (const auto& c : cases) {
    Target target;
    ASSERT_TRUE(target.Start(c.args));
    const LayeredAttributes a = ws.GetLayered(FromHwnd(target.hwnd()));
    EXPECT_EQ(std::to_string(a.readable) + " " + std::to_string(a.flags) + " " +
                  std::to_string(a.colorKey) + " " +
                  std::to_string(a.flags & kLwaAlpha ? a.alpha : 0),
              c.expected)
        << WideToUtf8(c.args);
  }
}

// Every call that touches the window, each on a thread of its own; the names
// of those that did not return. A call that waits for the hung thread never
// returns while it hangs (the target sleeps for good), so the deadline only
// decides when to give up on one: long enough that no load makes a returning
// call look blocked. A blocked thread ends when the target is killed.
std::string BlockedCalls(const std::shared_ptr<Win32WindowSystem>& ws, WindowHandle t) {
  std::string blocked;
  std::vector<std::pair<const char*, std::shared_ptr<std::atomic<bool>>>> running;
  auto check = [&](const char* name, std::function<void()> call) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    running.emplace_back(name, done);
    EXPECT_TRUE(StartOwnThread([call, done] {
      call();
      done->store(true);
    })) << name;
  };
  check("SetTitle", [ws, t] { ws->SetTitle(t, "時計 12:00"); });
  check("GetTitle", [ws, t] { ws->GetTitle(t); });
  check("SetTopMost", [ws, t] { ws->SetTopMost(t, true); });
  check("MoveTo", [ws, t] { ws->MoveTo(t, 10, 20); });
  check("SetExStyle", [ws, t] { ws->SetExStyle(t, ws->GetExStyle(t) | kExLayered); });
  check("SetLayered", [ws, t] { ws->SetLayered(t, 0, 128, kLwaAlpha); });
  check("GetLayered", [ws, t] { ws->GetLayered(t); });
  check("GetRect", [ws, t] {
    Rect r;
    ws->GetRect(t, r);
  });
  check("ClassNameOf", [ws, t] { ws->ClassNameOf(t); });
  check("IsHung", [ws, t] { ws->IsHung(t); });
  check("MakeLayered", [ws, t] { ws->MakeLayered(t, 0, 128, kLwaAlpha); });
  check("TakePicture", [t] { Win32Capture(nullptr, nullptr).TakePicture(t, false); });
  check("text grab", [t] {
    auto texts = std::make_shared<Win32WindowTexts>();
    auto clipboard = std::make_shared<Win32TextClipboard>(0);
    TextGrabModel(*texts, *clipboard).Collect(t);
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (auto& [name, done] : running) {
    while (!*done && std::chrono::steady_clock::now() < deadline) Sleep(10);
    if (!*done) blocked += std::string(name) + "; ";
  }
  return blocked;
}

TEST(WindowSystem, AHungWindowNeverBlocksACallAndIsReportedHung) {
  auto shared = std::make_shared<Win32WindowSystem>();
  Win32WindowSystem& ws = *shared;
  Target target;
  ASSERT_TRUE(target.Start(L"--title \"Before the hang\" --edit --buttons"));
  const WindowHandle t = FromHwnd(target.hwnd());
  EXPECT_FALSE(ws.IsHung(t));
  ASSERT_TRUE(target.Hang());
  EXPECT_EQ(BlockedCalls(shared, t), "") << "while the hang is fresh";
  // The system calls a thread hung only some seconds after it stopped.
  ASSERT_TRUE(WaitUntil([&] { return ws.IsHung(t); }, 15000));
  EXPECT_EQ(BlockedCalls(shared, t), "") << "once reported hung";
  // Nothing can have reached the window's thread; its title still reads.
  EXPECT_EQ(ws.GetTitle(t), "Before the hang");
  EXPECT_FALSE(ws.SetTitle(t, "x"));
}

// A write replaces the whole file or, failing, keeps the old one whole, and
// leaves nothing beside it; in a folder whose name only Unicode holds.
TEST(Files, WritesReplaceWholeOrNotAtAll) {
  TempFolder temp;
  const std::wstring dir = temp / L"トマリギ 시험 😀\\", file = dir + L"Setting.ini";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  Win32FileSystem files;
  const std::string path = WideToUtf8(file), kOld = "[Main]\r\nTiming= 100\r\n";
  auto read = [&] {
    std::string bytes = "untouched";
    files.ReadAll(path, bytes);
    return bytes;
  };
  auto open = [&](DWORD share) {
    return CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
  };
  EXPECT_FALSE(files.Exists(path));
  EXPECT_EQ(read(), "untouched");
  const std::string big = kOld + std::string(3 << 20, '\x90');
  ASSERT_TRUE(files.WriteAtomic(path, big));
  std::string head;
  std::uint64_t size = 0;
  ASSERT_TRUE(files.ReadHead(path, 6, head, size));
  EXPECT_EQ(head + std::to_string(size), big.substr(0, 6) + std::to_string(big.size()));
  // A reader of the old file sees it whole while it is replaced (Wine refuses
  // to rename over an open file: either outcome keeps the file whole).
  HANDLE reader = open(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  const bool replaced = files.WriteAtomic(path, kOld);
  char buffer[16];
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(reader, buffer, sizeof(buffer), &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), big.substr(0, 16));
  CloseHandle(reader);
  EXPECT_EQ(read(), replaced ? kOld : big);
  // A hidden or system file stays so once replaced.
  const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  SetFileAttributesW(file.c_str(), marks);
  ASSERT_TRUE(files.WriteAtomic(path, kOld));  // nothing of the longer content is left
  EXPECT_EQ(GetFileAttributesW(file.c_str()) & marks, marks);
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  // Held by another program for itself: not read, and not mistaken for empty.
  HANDLE exclusive = open(0);
  EXPECT_FALSE(files.ReadAll(path, head));
  CloseHandle(exclusive);
  // Held the way an editor or a virus scanner might, read-only, or a folder: kept.
  HANDLE locked = open(FILE_SHARE_READ);
  EXPECT_FALSE(files.WriteAtomic(path, "new"));
  CloseHandle(locked);
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(files.WriteAtomic(path, "new"));
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(read(), kOld);
  ASSERT_TRUE(CreateDirectoryW((dir + L"Folder.ini").c_str(), nullptr));
  EXPECT_FALSE(files.WriteAtomic(WideToUtf8(dir + L"Folder.ini"), "new"));
  EXPECT_FALSE(files.ReadHead(WideToUtf8(dir + L"Folder.ini"), 8, head, size));
  EXPECT_FALSE(files.WriteAtomic(WideToUtf8(dir + L"missing\\Setting.ini"), "new"));

  // The folder walk sees both, by their Unicode names, and nothing else.
  Win32Directory directory;
  std::vector<DirectoryEntry> entries;
  ASSERT_TRUE(directory.List(temp.Utf8(), entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name + (entries[0].isFolder ? "/" : ""), "トマリギ 시험 😀/");
  ASSERT_TRUE(directory.List(WideToUtf8(dir), entries = {}));
  EXPECT_EQ(entries.size(), 2u) << "Setting.ini and Folder.ini: no temporary left";
  EXPECT_FALSE(directory.List(WideToUtf8(dir + L"missing\\"), entries));
  EXPECT_NE(directory.FolderIdentity(WideToUtf8(dir)), "");
  EXPECT_EQ(directory.FolderIdentity(WideToUtf8(dir + L"Folder.ini\\..\\")),
            directory.FolderIdentity(WideToUtf8(dir)));
  EXPECT_NE(directory.FolderIdentity(WideToUtf8(dir + L"Folder.ini\\")),
            directory.FolderIdentity(WideToUtf8(dir)));
}

TEST(Text, ShiftJisAndUtf16RoundTripAndWhatTheyLackIsRefusedNotGuessed) {
  const std::string utf8 = "トマリギ 한국어 café 😀";
  EXPECT_EQ(WideToUtf8(Utf8ToWide(utf8)), utf8);
  EXPECT_EQ(WideToUtf8(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(Utf8ToWide("a\xC3(b"), L"a\xFFFD(b");
  EXPECT_EQ(WideToUtf8(std::wstring(L"x\xD800y")), "x\xEF\xBF\xBDy");  // a lone surrogate
  Win32TextCodec codec;
  ASSERT_EQ(codec.AnsiCodePage(), 932u) << "run under LANG=ja_JP.UTF-8";
  std::string ansi;
  ASSERT_TRUE(codec.ToAnsi("トマリギ設定", ansi));
  EXPECT_EQ(ansi, "\x83\x67\x83\x7D\x83\x8A\x83\x4D\x90\xDD\x92\xE8");
  const std::string mixed = "C:\\ﾄﾏﾘｷﾞ\\Skins\\既定 \"ＡＢＣ\" ①～";
  ASSERT_TRUE(codec.ToAnsi(mixed, ansi));
  EXPECT_EQ(codec.FromAnsi(ansi), mixed);
  // What the system would only approximate (é as e, ¥ as the path separator,
  // the wave dash as the full-width tilde) has no ANSI form, nor has broken UTF-8.
  for (const char* text : {"한국어", "時計 😀", "café", "¥100", "10〜20", "abc\xFF"})
    EXPECT_FALSE(codec.ToAnsi(text, ansi)) << text;
  EXPECT_EQ(codec.FromAnsi("\x83\x67\x83").substr(0, 3), "ト");  // a cut-off lead byte
  for (int b : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(codec.IsLeadByte(b)) << b;
  for (int b : {0x41, 0x5C, 0x80, 0xA0, 0xDF, 0xFD}) EXPECT_FALSE(codec.IsLeadByte(b)) << b;
}

}  // namespace
}  // namespace tomari
