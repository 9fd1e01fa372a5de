#pragma once
// What the capture tests under Wine share: the target's bar pattern, a widget
// of our own, the core's ports over the real system, and a driver that answers
// the system's dialogs from another thread, the way a user would.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "commands/capture.h"
#include "platform/ports.h"
#include "platform/prompts.h"
#include "win32/ports/win_codec.h"
#include "win32/ports/win_directory.h"
#include "win32/ports/win_text_grab.h"
#include "win32/ports/win_cursors.h"
#include "win32/ports/win_files.h"
#include "win32/ports/win_imaging.h"
#include "win32/ports/win_locale.h"
#include "win32/ports/win_screen.h"
#include "win32/ports/win_shell.h"
#include "win32/ports/win_windows.h"
#include "win32/win32_test_support.h"

namespace capturetest {

// target_app.exe paints vertical bars of these colours, 16 pixels each.
inline tomari::Pixel BarAt(int x) {
  static const tomari::Pixel kBars[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                         0x00FFFF, 0xFF00FF, 0x000000, 0xFFFFFF};
  return kBars[(x / 16) % 8];
}

// Pixels of `picture` in the rectangle at (left, top) that differ from the
// bars (bar 0 starting at `left`); 0 when the rectangle shows exactly the bars.
inline long CountOffBars(const tomari::Bitmap& picture, int left, int top, int width, int height) {
  long off = 0;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x)
      if (picture.At(x, y) != BarAt(x - left)) ++off;
  return off;
}

// A top-most, never-activated popup painted in one colour: our widget.
class FakeWidgetWindow : public tomari::WidgetWindow {
 public:
  FakeWidgetWindow(RECT rect, COLORREF colour) {
    static bool registered = false;
    if (!registered) {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"TomariCaptureTestWidget";
      registered = RegisterClassExW(&wc) != 0;
    }
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                            L"TomariCaptureTestWidget", L"widget", WS_POPUP, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
    win32test::Pump(100);
  }
  ~FakeWidgetWindow() override { DestroyWindow(hwnd_); }
  FakeWidgetWindow(const FakeWidgetWindow&) = delete;
  FakeWidgetWindow& operator=(const FakeWidgetWindow&) = delete;
  HWND hwnd() const { return hwnd_; }
  int redraws = 0;

  tomari::WindowHandle Handle() override { return tomari::FromHwnd(hwnd_); }
  tomari::Rect GetRect() override {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return {r.left, r.top, r.right, r.bottom};
  }
  void MoveTo(int, int, bool) override {}
  void SetTopMost(bool) override {}
  void Redraw() override { ++redraws; }
  void SetSize(int, int) override {}
  void SetShape(const tomari::WidgetShape&) override {}
  void Present(const tomari::Bitmap&) override {}
  void SetLabel(const std::string&) override {}
  void SetToolTip(const std::string&) override {}
  void SetWidgetCursor(tomari::CursorHandle) override {}

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(h, GWLP_USERDATA)));
      FillRect(dc, &ps.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(h, &ps);
      return 0;
    }
    if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return DefWindowProcW(h, msg, wp, lp);
  }
  HWND hwnd_ = nullptr;
};

class FixedClock : public tomari::Clock {
 public:
  tomari::DateTime local{2003, 1, 17, 17, 30, 5, 0, 5};
  tomari::DateTime UtcNow() override { return local; }
  tomari::DateTime LocalNow() override { return local; }
};

// Answers message boxes from a script (then Cancel) and cancels every save
// dialog: for the tests that are not about the dialogs.
class ScriptedPrompts : public tomari::Prompts {
 public:
  std::vector<int> answers;
  std::vector<std::string> messages;

  int ShowMessage(tomari::WindowHandle, const std::string& text, const std::string&,
                  std::uint32_t) override {
    messages.push_back(text);
    if (answers.empty()) return tomari::kIdCancel;
    const int a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  bool AskSaveName(const tomari::SaveDialogRequest&, std::string&, int&) override {
    return false;
  }
};

// The core's ports over the real system, our widget and an App attached to
// `target`.
struct CaptureRig {
  CaptureRig(HWND target, FakeWidgetWindow& widget, tomari::Prompts& prompts,
             tomari::CaptureSystem& capture)
      : widget(widget),
        ports{windows, screen, widget, files, clock, codec, images, cursors, locale, shell, prompts,
              capture, texts, textClipboard, directory} {
    app.WidgetHandle = widget.Handle();
    app.ownWindows.Reset();
    app.ownWindows.Add(app.WidgetHandle);
    app.TargetWindow = tomari::FromHwnd(target);
    app.facts.HasImageLibrary = true;
  }
  tomari::CaptureResult Capture(int inside, int toFile, int dateName) {
    return tomari::CaptureTarget(app, ports, inside, toFile, dateName);
  }

  tomari::Win32WindowSystem windows;
  tomari::Win32Screen screen;
  FakeWidgetWindow& widget;
  tomari::Win32FileSystem files;
  FixedClock clock;
  tomari::Win32TextCodec codec;
  tomari::Win32ImageDecoder images;
  tomari::Win32CursorLoader cursors;
  tomari::Win32Locale locale;
  tomari::Win32Shell shell;
  tomari::Win32WindowTexts texts;
  tomari::Win32TextClipboard textClipboard{0};
  tomari::Win32Directory directory;
  tomari::Ports ports;
  tomari::App app;
};

// What a dialog of ours showed when the driver found it.
struct SeenDialog {
  HWND hwnd = nullptr;
  HWND owner = nullptr;
  std::wstring title;
  std::vector<std::wstring> texts;        // static controls' texts
  std::vector<std::wstring> filterItems;  // the file-type combo box
  int filterSelection = -1;
  std::wstring fileName;     // the file-name field
  std::vector<int> buttons;  // ids of the push buttons
};

// File-dialog control ids (dlgs.h): the file-type combo box and the name field.
inline constexpr int kFileTypeCombo = 0x470;  // cmb1
inline constexpr int kFileNameCombo = 0x47c;  // cmb13
inline constexpr int kFileNameEdit = 0x480;   // edt1

// The file-name field: an edit of its own, or the edit inside the combo box
// (Wine nests it in a ComboBoxEx32 and its ComboBox).
inline HWND FileNameField(HWND dialog) {
  if (HWND edit = GetDlgItem(dialog, kFileNameEdit); edit && IsWindowVisible(edit)) return edit;
  HWND level = GetDlgItem(dialog, kFileNameCombo);
  for (int depth = 0; level && depth < 3; ++depth) {
    if (HWND edit = FindWindowExW(level, nullptr, L"Edit", nullptr)) return edit;
    level = FindWindowExW(level, nullptr, L"ComboBox", nullptr);
  }
  return nullptr;
}

// Answers this process's dialogs from a thread of its own, one step a dialog:
// waits for a visible dialog with the step's title, records what it shows and
// runs the step's action on it. When a step's dialog never comes, whatever
// dialog of ours is open is cancelled, so the test fails instead of hanging.
class DialogDriver {
 public:
  struct Step {
    std::wstring title;
    std::function<void(HWND)> act;
  };
  explicit DialogDriver(std::vector<Step> steps) : steps_(std::move(steps)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~DialogDriver() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;
  // Waits for the thread; the dialogs seen, in order.
  const std::vector<SeenDialog>& Finish() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }
  bool Complete() const { return completed_ == static_cast<int>(steps_.size()); }

 private:
  // Messages to the dialog's thread go with a time limit: it is in its modal loop.
  static LRESULT Ask(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 2000, &result);
    return static_cast<LRESULT>(result);
  }
  static std::wstring TextOf(HWND h) {
    wchar_t t[1024] = L"";
    Ask(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(t));
    return t;
  }
  static BOOL CALLBACK LookAtChild(HWND child, LPARAM param) {
    auto& s = *reinterpret_cast<SeenDialog*>(param);
    wchar_t cls[64] = L"";
    GetClassNameW(child, cls, 64);
    const std::wstring text = TextOf(child);
    if (lstrcmpiW(cls, L"Static") == 0 && !text.empty()) s.texts.push_back(text);
    const LONG style = GetWindowLongW(child, GWL_STYLE) & 0x0F;
    if (lstrcmpiW(cls, L"Button") == 0 && IsWindowVisible(child) &&
        (style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON))
      s.buttons.push_back(GetDlgCtrlID(child));
    return TRUE;
  }
  static SeenDialog Look(HWND dialog) {
    SeenDialog seen;
    seen.hwnd = dialog;
    seen.owner = GetWindow(dialog, GW_OWNER);
    wchar_t title[1024] = L"";
    GetWindowTextW(dialog, title, 1024);
    seen.title = title;
    EnumChildWindows(dialog, LookAtChild, reinterpret_cast<LPARAM>(&seen));
    if (HWND combo = GetDlgItem(dialog, kFileTypeCombo)) {
      const LRESULT count = Ask(combo, CB_GETCOUNT, 0, 0);
      for (LRESULT i = 0; i < count && i < 16; ++i) {
        wchar_t item[256] = L"";
        Ask(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        seen.filterItems.push_back(item);
      }
      seen.filterSelection = static_cast<int>(Ask(combo, CB_GETCURSEL, 0, 0));
    }
    if (HWND name = FileNameField(dialog)) seen.fileName = TextOf(name);
    return seen;
  }
  struct Search {
    const std::wstring* title;
    HWND found;
  };
  static BOOL CALLBACK FindDialog(HWND h, LPARAM param) {
    auto& s = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t cls[16] = L"", title[256] = L"";
    GetClassNameW(h, cls, 16);
    GetWindowTextW(h, title, 256);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(h) || lstrcmpW(cls, L"#32770") != 0 ||
        (s.title && *s.title != title))
      return TRUE;
    s.found = h;
    return FALSE;
  }
  static HWND Find(const std::wstring* title) {
    Search search{title, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  void Run() {
    for (const Step& step : steps_) {
      HWND found = nullptr;
      for (const DWORD start = GetTickCount(); !found && !stop_ && GetTickCount() - start < 15000;
           Sleep(found ? 0 : 50))
        found = Find(&step.title);
      if (!found) {
        for (int round = 0; round < 100 && !stop_; ++round, Sleep(100))
          if (HWND open = Find(nullptr)) {
            PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(open, WM_CLOSE, 0, 0);
          }
        return;
      }
      Sleep(300);  // let the dialog finish filling itself
      seen_.push_back(Look(found));
      step.act(found);
      ++completed_;
      // The next step's dialog must be a new one.
      for (const DWORD gone = GetTickCount();
           IsWindow(found) && IsWindowVisible(found) && GetTickCount() - gone < 5000;)
        Sleep(20);
    }
  }

  std::vector<Step> steps_;
  std::vector<SeenDialog> seen_;
  std::atomic<bool> stop_{false};
  std::atomic<int> completed_{0};
  std::thread thread_;
};

// Presses a dialog's button as a click would.
inline void Press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace capturetest
