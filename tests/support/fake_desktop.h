#pragma once
// In-memory desktop for the core's tests: other programs' windows, monitors, the
// foreground window and the pointer, plus our own widget. Every call that changes
// a window is written to a log, so a test can say what was done and, as much,
// what was not.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace tomari::test {

struct FakeWindow {
  WindowHandle handle = 0;
  std::string title;
  std::string className;
  Rect rect;
  std::uint32_t exStyle = 0;
  WindowHandle parent = 0;  // parent, or owner of a top-level window
  // What GetLayered reports while WS_EX_LAYERED is set. `readable` false stands
  // for a window drawn with UpdateLayeredWindow, whose attributes cannot be read.
  LayeredAttributes layered;
  bool alive = true;
  bool hung = false;
  // A hung window that answers again while WaitForAnswer waits for it.
  bool answersWhenWaitedFor = false;
  // What the window keeps of a title it is given (a length cut, characters it
  // cannot hold); null keeps it as given.
  std::string (*storeTitle)(const std::string&) = nullptr;
};

// One call on the desktop or the widget. `window` is the handle it was made on.
struct FakeCall {
  std::string op;  // "SetTopMost", "SetLayered", "SetExStyle", "MoveTo", "SetTitle",
                   // "Widget.MoveTo", "Widget.SetTopMost", "Widget.Redraw", or a test's own
  WindowHandle window = 0;
  std::string detail;
  std::string ToString() const;
};

// How often each reading call was made (reads are counted, not logged).
struct FakeReadCounts {
  int foreground = 0;
  int isWindow = 0;
  int getRect = 0;
  int getTitle = 0;
  int getClassName = 0;
  int getLayered = 0;
};

class FakeDesktop : public WindowSystem, public Screen {
 public:
  // One monitor of 1024 x 768, layered windows available, no windows.
  FakeDesktop();

  FakeWindow& AddWindow(WindowHandle h, std::string title, std::string className, Rect rect,
                        std::uint32_t exStyle = 0);
  // The window record; throws std::out_of_range for a handle never added.
  FakeWindow& Window(WindowHandle h);
  bool Has(WindowHandle h) const { return windows_.count(h) != 0; }
  // The window is destroyed: IsWindow turns false, every call on it fails.
  void Close(WindowHandle h) { Window(h).alive = false; }
  void SetForegroundWindow(WindowHandle h) { foreground_ = h; }

  std::vector<Rect> monitors;
  Point cursor;
  bool layeredApi = true;
  // Moves of windows land only at FlushMoves(), as asynchronous moves of
  // other programs' windows do.
  bool deferMoves = false;
  void FlushMoves();

  std::vector<FakeCall> calls;
  FakeReadCounts reads;
  void ClearLog() {
    calls.clear();
    reads = {};
  }
  // Calls with this op (on this window, when given).
  int Count(const std::string& op, WindowHandle h = 0) const;
  // Calls that change one of these windows (not the widget), oldest first.
  std::vector<std::string> ChangesOn(WindowHandle h) const;
  // Every logged call as text, oldest first.
  std::vector<std::string> Log() const;
  void Record(std::string op, WindowHandle h, std::string detail = {});

  // WindowSystem
  WindowHandle Foreground() override;
  bool IsWindow(WindowHandle h) override;
  bool IsHung(WindowHandle h) override;
  bool GetRect(WindowHandle h, Rect& r) override;
  std::uint32_t GetExStyle(WindowHandle h) override;
  bool SetExStyle(WindowHandle h, std::uint32_t exStyle) override;
  std::string GetTitle(WindowHandle h) override;
  bool SetTitle(WindowHandle h, const std::string& title) override;
  std::string ClassNameOf(WindowHandle h) override;
  WindowHandle GetParent(WindowHandle h) override;
  LayeredAttributes GetLayered(WindowHandle h) override;
  bool SetLayered(WindowHandle h, std::uint32_t colorKey, std::uint8_t alpha,
                  std::uint32_t flags) override;
  bool MakeLayered(WindowHandle h, std::uint32_t colorKey, std::uint8_t alpha,
                   std::uint32_t flags) override;
  bool WaitForAnswer(WindowHandle h, unsigned ms) override;
  bool SetTopMost(WindowHandle h, bool topMost) override;
  bool MoveTo(WindowHandle h, int x, int y) override;
  bool HasLayeredWindowsApi() override { return layeredApi; }

  // Screen
  std::vector<Rect> Monitors() override { return monitors; }
  Point CursorPos() override { return cursor; }

 private:
  FakeWindow* Live(WindowHandle h);
  std::map<WindowHandle, FakeWindow> windows_;
  WindowHandle foreground_ = 0;
  std::vector<std::pair<WindowHandle, Point>> pendingMoves_;
};

// Our widget. Constructed on a desktop it is also a window there (class
// "TomariWidget"), and its calls go into the desktop's log, so a test sees the
// order of the widget's and the other windows' calls.
class FakeWidget : public WidgetWindow {
 public:
  FakeWidget(WindowHandle handle, int width, int height, FakeDesktop* desktop = nullptr);

  struct Move {
    int x = 0;
    int y = 0;
    bool topMost = false;
    friend bool operator==(const Move&, const Move&) = default;
  };
  std::vector<Move> moves;
  std::vector<bool> topMostChanges;
  int redraws = 0;
  bool topMost = false;
  Rect rect;

  WindowHandle Handle() override { return handle_; }
  Rect GetRect() override { return rect; }
  void MoveTo(int x, int y, bool topMost) override;
  void SetTopMost(bool topMost) override;
  void Redraw() override;
  void SetSize(int w, int h) override {
    width = w;
    height = h;
  }
  void SetShape(const WidgetShape& s) override { shape = s; }
  void Present(const Bitmap& f) override {
    face = f;
    ++presents;
  }
  void SetLabel(const std::string& t) override { label = t; }
  void SetToolTip(const std::string& t) override {
    toolTip = t;
    ++toolTipSets;
  }
  void SetWidgetCursor(CursorHandle c) override {
    cursor = c;
    ++cursorSets;
  }
  // What the widget was last given.
  int width = -1;
  int height = -1;
  WidgetShape shape;
  Bitmap face;
  int presents = 0;
  std::string label = "unset";
  std::string toolTip = "unset";
  int toolTipSets = 0;
  CursorHandle cursor = 0xDEAD;
  int cursorSets = 0;

 private:
  void Record(const std::string& op, const std::string& detail);
  WindowHandle handle_;
  FakeDesktop* desktop_;
};

class FakeClock : public Clock {
 public:
  DateTime utc{2024, 1, 2, 3, 4, 5, 0, 2};
  DateTime local{2024, 1, 2, 12, 4, 5, 0, 2};
  void Set(const DateTime& utcNow, const DateTime& localNow) {
    utc = utcNow;
    local = localNow;
  }
  DateTime UtcNow() override { return utc; }
  DateTime LocalNow() override { return local; }
};

}  // namespace tomari::test
