#pragma once
// Just enough of every port for the tracking tick to run in a benchmark: a
// desktop of a few windows held in a map, and ports that answer nothing. Kept
// apart from the test doubles on purpose: a benchmark measures the core, not
// the bookkeeping a test needs.
#include <map>
#include <string>
#include <vector>

#include "platform/capture_system.h"
#include "platform/directory.h"
#include "platform/imaging.h"
#include "platform/locale.h"
#include "platform/ports.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/text_grab.h"

namespace tomari::bench {

struct BenchWindow {
  std::string title, className;
  Rect rect;
  std::uint32_t exStyle = 0;
};

class BenchDesktop : public WindowSystem, public Screen {
 public:
  std::map<WindowHandle, BenchWindow> windows;
  WindowHandle foreground = 0;

  WindowHandle Foreground() override { return foreground; }
  bool IsWindow(WindowHandle h) override { return windows.count(h) != 0; }
  bool IsHung(WindowHandle) override { return false; }
  bool GetRect(WindowHandle h, Rect& r) override {
    auto it = windows.find(h);
    if (it == windows.end()) return false;
    r = it->second.rect;
    return true;
  }
  std::uint32_t GetExStyle(WindowHandle h) override { return Find(h).exStyle; }
  bool SetExStyle(WindowHandle h, std::uint32_t ex) override { return Set(h, &BenchWindow::exStyle, ex); }
  std::string GetTitle(WindowHandle h) override { return Find(h).title; }
  bool SetTitle(WindowHandle h, const std::string& t) override { return Set(h, &BenchWindow::title, t); }
  std::string ClassNameOf(WindowHandle h) override { return Find(h).className; }
  std::uint32_t ProcessIdOf(WindowHandle) override { return 0; }
  WindowHandle GetParent(WindowHandle) override { return 0; }
  LayeredAttributes GetLayered(WindowHandle) override { return {}; }
  bool SetLayered(WindowHandle, std::uint32_t, std::uint8_t, std::uint32_t) override { return true; }
  bool MakeLayered(WindowHandle, std::uint32_t, std::uint8_t, std::uint32_t) override { return true; }
  bool WaitForAnswer(WindowHandle, unsigned) override { return true; }
  bool SetTopMost(WindowHandle, bool) override { return true; }
  bool MoveTo(WindowHandle, int, int) override { return true; }
  bool HasLayeredWindowsApi() override { return true; }
  std::vector<Rect> Monitors() override { return {Rect{0, 0, 1920, 1080}}; }
  Point CursorPos() override { return {}; }

 private:
  BenchWindow Find(WindowHandle h) const {
    auto it = windows.find(h);
    return it == windows.end() ? BenchWindow{} : it->second;
  }
  template <typename T>
  bool Set(WindowHandle h, T BenchWindow::*field, const T& value) {
    auto it = windows.find(h);
    if (it == windows.end()) return false;
    it->second.*field = value;
    return true;
  }
};

class BenchWidget : public WidgetWindow {
 public:
  Rect rect{0, 0, 64, 32};
  WindowHandle Handle() override { return 0x10; }
  Rect GetRect() override { return rect; }
  void MoveTo(int x, int y, bool) override { rect = Rect{x, y, x + 64, y + 32}; }
  void SetTopMost(bool) override {}
  void Redraw() override {}
  void SetSize(int, int) override {}
  void SetShape(const WidgetShape&) override {}
  void Present(const Bitmap&) override {}
  void SetLabel(const std::string&) override {}
  void SetToolTip(const std::string&) override {}
  void SetWidgetCursor(CursorHandle) override {}
};

// Every other port: nothing there, nothing done.
class NullPorts : public ReadOnlyFileSystem, public Clock, public TextCodec, public ImageDecoder,
                  public CursorLoader, public Locale, public Shell, public Prompts,
                  public CaptureSystem, public WindowTexts, public TextClipboard, public Directory {
 public:
  DateTime utc{2024, 1, 2, 3, 4, 5, 0, 2};
  LocaleFormats formats;

  bool Exists(const std::string&) override { return false; }
  bool ReadAll(const std::string&, std::string&) override { return false; }
  bool ReadHead(const std::string&, std::size_t, std::string&, std::uint64_t&) override { return false; }
  DateTime UtcNow() override { return utc; }
  DateTime LocalNow() override { return utc; }
  unsigned AnsiCodePage() override { return 932; }
  bool ToAnsi(const std::string& utf8, std::string& ansi) override { return ansi = utf8, true; }
  std::string FromAnsi(const std::string& ansi) override { return ansi; }
  bool IsLeadByte(unsigned char) override { return false; }
  Bitmap Decode(const std::string&) override { return {}; }
  bool ReadPngWithLibrary(const std::string&, int, int, Bitmap&) override { return false; }
  CursorHandle LoadSystem(int id) override { return static_cast<CursorHandle>(id); }
  CursorHandle LoadFromFile(const std::string&) override { return 0; }
  void Destroy(CursorHandle) override {}
  void Show(CursorHandle) override {}
  const LocaleFormats& Formats() override { return formats; }
  void Open(const std::string&) override {}
  int ShowMessage(WindowHandle, const std::string&, const std::string&, std::uint32_t) override { return 0; }
  bool AskSaveName(const SaveDialogRequest&, std::string&, int&) override { return false; }
  Bitmap TakePicture(WindowHandle, bool) override { return {}; }
  void HideWidget() override {}
  void ShowWidget() override {}
  bool CopyToClipboard(const Bitmap&, WindowHandle) override { return false; }
  FileWriteResult WriteFile(const std::string&, const std::string&) override { return {}; }
  FileWriteResult WriteJpeg(const Bitmap&, const std::string&, std::uint8_t, bool) override { return {}; }
  FileWriteResult WritePng(const Bitmap&, const std::string&, std::uint8_t) override { return {}; }
  std::int64_t NowMs() override { return 0; }
  std::string Title(WindowHandle) override { return {}; }
  std::vector<WindowHandle> Descendants(WindowHandle) override { return {}; }
  std::string TextByMessage(WindowHandle, int) override { return {}; }
  MenuHandle MenuBar(WindowHandle) override { return 0; }
  MenuHandle SystemMenu(WindowHandle) override { return 0; }
  int MenuItemCount(MenuHandle) override { return 0; }
  std::string MenuItemText(MenuHandle, int) override { return {}; }
  MenuHandle SubMenu(MenuHandle, int) override { return 0; }
  bool SetText(const std::string&) override { return false; }
  bool List(const std::string&, std::vector<DirectoryEntry>&) override { return false; }
  bool FolderExists(const std::string&) override { return false; }
  std::string FolderIdentity(const std::string&) override { return {}; }
  std::int64_t ToLocalFileTime(std::int64_t utc) override { return utc; }
};

}  // namespace tomari::bench
