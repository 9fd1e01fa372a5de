#pragma once
// In-memory desktop for the core's tests: other programs' windows, monitors, the
// foreground window and the pointer, plus our own widget. Every call that changes
// a window is written to a log, so a test can say what was done and, as much,
// what was not.
#include <cstdint>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace tomari::test {

struct FakeWindow {
  std::string title;
  std::string className;
  Rect rect;
  std::uint32_t exStyle = 0;
  std::uint32_t process = 0;
  WindowHandle parent = 0;  // parent, or owner of a top-level window
  // What GetLayered reports while WS_EX_LAYERED is set. `readable` false stands
  // for a window drawn with UpdateLayeredWindow, whose attributes cannot be read.
  LayeredAttributes layered;
  bool alive = true;
  bool hung = false;
  // A hung window that answers again while WaitForAnswer waits for it.
  bool answersWhenWaitedFor = false;
};

// How often each reading call was made (reads are counted, not logged).
struct FakeReadCounts {
  int foreground = 0, isWindow = 0, isHung = 0, getRect = 0, getExStyle = 0, getTitle = 0,
      getClassName = 0, getLayered = 0;
};

class FakeDesktop : public WindowSystem, public Screen {
 public:
  FakeWindow& AddWindow(WindowHandle h, std::string title, std::string className, Rect rect,
                        std::uint32_t exStyle = 0) {
    FakeWindow& w = windows_[h] = FakeWindow{};
    w.title = std::move(title);
    w.className = std::move(className);
    w.rect = rect;
    w.exStyle = exStyle;
    return w;
  }
  // The window record; throws std::out_of_range for a handle never added.
  FakeWindow& Window(WindowHandle h) { return windows_.at(h); }
  bool Has(WindowHandle h) const { return windows_.count(h) != 0; }
  // The window is destroyed: IsWindow turns false, every call on it fails.
  void Close(WindowHandle h) { Window(h).alive = false; }
  void SetForegroundWindow(WindowHandle h) { foreground_ = h; }

  std::vector<Rect> monitors{Rect{0, 0, 1024, 768}};
  Point cursor;
  bool layeredApi = true;
  // Moves of windows land only at FlushMoves(), as asynchronous moves of
  // other programs' windows do.
  bool deferMoves = false;
  void FlushMoves() {
    for (const auto& [h, p] : pendingMoves_)
      if (FakeWindow* w = Live(h))
        w->rect = Rect{p.x, p.y, p.x + w->rect.Width(), p.y + w->rect.Height()};
    pendingMoves_.clear();
  }

  // Every call as "Op(window, detail)", oldest first. Ops: SetTopMost, SetLayered,
  // MakeLayered, SetExStyle, MoveTo, SetTitle, WaitForAnswer, Widget.MoveTo,
  // Widget.SetTopMost, Widget.Redraw, or a test's own.
  std::vector<std::string> calls;
  FakeReadCounts reads;
  void ClearLog() {
    calls.clear();
    reads = {};
  }
  void Record(const std::string& op, WindowHandle h, const std::string& detail = {}) {
    calls.push_back(op + "(" + std::to_string(h) + (detail.empty() ? "" : ", " + detail) + ")");
  }
  // Calls with this op (on this window, when given).
  int Count(const std::string& op, WindowHandle h = 0) const {
    int n = 0;
    for (const std::string& c : calls) n += c.rfind(op + "(", 0) == 0 && (h == 0 || On(c, h));
    return n;
  }

  // WindowSystem
  WindowHandle Foreground() override { return ++reads.foreground, foreground_; }
  bool IsWindow(WindowHandle h) override { return ++reads.isWindow, Live(h) != nullptr; }
  bool IsHung(WindowHandle h) override {
    ++reads.isHung;
    return Live(h) && Live(h)->hung;
  }
  bool GetRect(WindowHandle h, Rect& r) override {
    ++reads.getRect;
    if (Live(h)) r = Live(h)->rect;
    return Live(h) != nullptr;
  }
  std::uint32_t GetExStyle(WindowHandle h) override {
    ++reads.getExStyle;
    return Live(h) ? Live(h)->exStyle : 0;
  }
  bool SetExStyle(WindowHandle h, std::uint32_t exStyle) override {
    Record("SetExStyle", h, Hex(exStyle));
    FakeWindow* w = Live(h);
    if (w == nullptr || w->hung) return false;  // the change is sent to the window
    // Dropping WS_EX_LAYERED throws the layered attributes away, as the system does;
    // setting it again leaves a window whose attributes cannot be read until set.
    if ((w->exStyle ^ exStyle) & kExLayered) w->layered = LayeredAttributes{};
    w->exStyle = exStyle;
    return true;
  }
  std::string GetTitle(WindowHandle h) override {
    ++reads.getTitle;
    return Live(h) ? Live(h)->title : std::string();
  }
  bool SetTitle(WindowHandle h, const std::string& title) override {
    Record("SetTitle", h, "\"" + title + "\"");
    FakeWindow* w = Live(h);
    if (w == nullptr || w->hung) return false;  // the send timed out
    w->title = title;
    return true;
  }
  std::string ClassNameOf(WindowHandle h) override {
    ++reads.getClassName;
    return Live(h) ? Live(h)->className : std::string();
  }
  std::uint32_t ProcessIdOf(WindowHandle h) override { return Live(h) ? Live(h)->process : 0; }
  WindowHandle GetParent(WindowHandle h) override { return Live(h) ? Live(h)->parent : 0; }
  LayeredAttributes GetLayered(WindowHandle h) override {
    ++reads.getLayered;
    FakeWindow* w = Live(h);
    if (w == nullptr || (w->exStyle & kExLayered) == 0) return {};
    return w->layered.readable ? w->layered : LayeredAttributes{};
  }
  bool SetLayered(WindowHandle h, std::uint32_t key, std::uint8_t alpha,
                  std::uint32_t flags) override {
    FakeWindow* w = Layer("SetLayered", h, key, alpha, flags);
    if (w == nullptr || (w->exStyle & kExLayered) == 0) return false;
    w->layered = LayeredAttributes{true, key, alpha, flags};
    return true;
  }
  bool MakeLayered(WindowHandle h, std::uint32_t key, std::uint8_t alpha,
                   std::uint32_t flags) override {
    FakeWindow* w = Layer("MakeLayered", h, key, alpha, flags);
    if (w == nullptr || w->hung) return false;
    w->exStyle |= kExLayered;
    w->layered = LayeredAttributes{true, key, alpha, flags};
    return true;
  }
  bool WaitForAnswer(WindowHandle h, unsigned ms) override {
    Record("WaitForAnswer", h, std::to_string(ms));
    FakeWindow* w = Live(h);
    if (w != nullptr && w->answersWhenWaitedFor) w->hung = false;
    return w != nullptr && !w->hung;
  }
  bool SetTopMost(WindowHandle h, bool topMost) override {
    Record("SetTopMost", h, topMost ? "1" : "0");
    FakeWindow* w = Live(h);
    if (w != nullptr) w->exStyle = topMost ? w->exStyle | kExTopMost : w->exStyle & ~kExTopMost;
    return w != nullptr;
  }
  bool MoveTo(WindowHandle h, int x, int y) override {
    Record("MoveTo", h, std::to_string(x) + "," + std::to_string(y));
    FakeWindow* w = Live(h);
    if (w == nullptr) return false;
    pendingMoves_.push_back({h, Point{x, y}});
    if (!deferMoves) FlushMoves();
    return true;
  }
  bool HasLayeredWindowsApi() override { return layeredApi; }

  // Screen
  std::vector<Rect> Monitors() override { return monitors; }
  Point CursorPos() override { return cursor; }

 private:
  static bool On(const std::string& call, WindowHandle h) {
    const std::size_t open = call.find('(');
    return call.substr(open + 1, call.find_first_of(",)", open) - open - 1) == std::to_string(h);
  }
  static std::string Hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(v));
    return buf;
  }
  FakeWindow* Live(WindowHandle h) {
    auto it = windows_.find(h);
    return it == windows_.end() || !it->second.alive ? nullptr : &it->second;
  }
  FakeWindow* Layer(const char* op, WindowHandle h, std::uint32_t key, std::uint8_t alpha,
                    std::uint32_t flags) {
    Record(op, h, "key=" + Hex(key) + " alpha=" + std::to_string(alpha) + " flags=" + Hex(flags));
    return Live(h);
  }
  std::map<WindowHandle, FakeWindow> windows_;
  WindowHandle foreground_ = 0;
  std::vector<std::pair<WindowHandle, Point>> pendingMoves_;
};

// Our widget. Constructed on a desktop it is also a window there (class
// "TomariWidget"), and its calls go into the desktop's log, so a test sees the
// order of the widget's and the other windows' calls.
class FakeWidget : public WidgetWindow {
 public:
  FakeWidget(WindowHandle handle, int width, int height, FakeDesktop* desktop = nullptr)
      : rect{0, 0, width, height}, handle_(handle), desktop_(desktop) {
    if (desktop_ != nullptr) desktop_->AddWindow(handle, "トマリギ", "TomariWidget", rect);
  }

  struct Move {
    int x = 0;
    int y = 0;
    bool topMost = false;
    friend bool operator==(const Move&, const Move&) = default;
  };
  std::vector<Move> moves;
  std::vector<bool> topMostChanges;
  bool topMost = false;
  Rect rect;

  WindowHandle Handle() override { return handle_; }
  Rect GetRect() override { return rect; }
  void MoveTo(int x, int y, bool top) override {
    moves.push_back(Move{x, y, top});
    rect = Rect{x, y, x + rect.Width(), y + rect.Height()};
    if (desktop_ != nullptr && desktop_->Has(handle_)) desktop_->Window(handle_).rect = rect;
    if (top) SetTopMostFlag(true);
    Record("Widget.MoveTo", std::to_string(x) + "," + std::to_string(y) + (top ? " topmost" : ""));
  }
  void SetTopMost(bool top) override {
    topMostChanges.push_back(top);
    SetTopMostFlag(top);
    Record("Widget.SetTopMost", top ? "1" : "0");
  }
  void Redraw() override { Record("Widget.Redraw", {}); }
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
  void SetToolTip(const std::string& t) override { toolTip = t; }
  void SetWidgetCursor(CursorHandle c) override { cursor = c; }
  // What the widget was last given.
  int width = -1;
  int height = -1;
  WidgetShape shape;
  Bitmap face;
  int presents = 0;
  std::string label = "unset";
  std::string toolTip = "unset";
  CursorHandle cursor = 0xDEAD;

 private:
  void SetTopMostFlag(bool top) {
    topMost = top;
    if (desktop_ == nullptr || !desktop_->Has(handle_)) return;
    std::uint32_t& ex = desktop_->Window(handle_).exStyle;
    ex = top ? ex | kExTopMost : ex & ~kExTopMost;
  }
  void Record(const std::string& op, const std::string& detail) {
    if (desktop_ != nullptr) desktop_->Record(op, handle_, detail);
  }
  WindowHandle handle_;
  FakeDesktop* desktop_;
};

class FakeClock : public Clock {
 public:
  DateTime utc{2024, 1, 2, 3, 4, 5, 0, 2};
  DateTime local{2024, 1, 2, 12, 4, 5, 0, 2};
  DateTime UtcNow() override { return utc; }
  DateTime LocalNow() override { return local; }
};

}  // namespace tomari::test
