#include "support/fake_desktop.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace tomari::test {

namespace {

std::string Hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(v));
  return buf;
}

}  // namespace

std::string FakeCall::ToString() const {
  std::string s = op + "(" + std::to_string(window);
  if (!detail.empty()) s += ", " + detail;
  return s + ")";
}

FakeDesktop::FakeDesktop() : monitors{Rect{0, 0, 1024, 768}} {}

FakeWindow& FakeDesktop::AddWindow(WindowHandle h, std::string title, std::string className,
                                   Rect rect, std::uint32_t exStyle) {
  FakeWindow& w = windows_[h];
  w = FakeWindow{};
  w.handle = h;
  w.title = std::move(title);
  w.className = std::move(className);
  w.rect = rect;
  w.exStyle = exStyle;
  return w;
}

FakeWindow& FakeDesktop::Window(WindowHandle h) {
  auto it = windows_.find(h);
  if (it == windows_.end()) throw std::out_of_range("no fake window " + std::to_string(h));
  return it->second;
}

FakeWindow* FakeDesktop::Live(WindowHandle h) {
  auto it = windows_.find(h);
  if (it == windows_.end() || !it->second.alive) return nullptr;
  return &it->second;
}

void FakeDesktop::Record(std::string op, WindowHandle h, std::string detail) {
  calls.push_back(FakeCall{std::move(op), h, std::move(detail)});
}

int FakeDesktop::Count(const std::string& op, WindowHandle h) const {
  int n = 0;
  for (const FakeCall& c : calls)
    if (c.op == op && (h == 0 || c.window == h)) ++n;
  return n;
}

std::vector<std::string> FakeDesktop::ChangesOn(WindowHandle h) const {
  std::vector<std::string> out;
  for (const FakeCall& c : calls)
    if (c.window == h && c.op.rfind("Widget.", 0) != 0) out.push_back(c.ToString());
  return out;
}

std::vector<std::string> FakeDesktop::Log() const {
  std::vector<std::string> out;
  for (const FakeCall& c : calls) out.push_back(c.ToString());
  return out;
}

WindowHandle FakeDesktop::Foreground() {
  ++reads.foreground;
  return foreground_;
}

bool FakeDesktop::IsWindow(WindowHandle h) {
  ++reads.isWindow;
  return Live(h) != nullptr;
}

bool FakeDesktop::IsHung(WindowHandle h) {
  FakeWindow* w = Live(h);
  return w != nullptr && w->hung;
}

bool FakeDesktop::GetRect(WindowHandle h, Rect& r) {
  ++reads.getRect;
  FakeWindow* w = Live(h);
  if (w == nullptr) return false;
  r = w->rect;
  return true;
}

std::uint32_t FakeDesktop::GetExStyle(WindowHandle h) {
  FakeWindow* w = Live(h);
  return w != nullptr ? w->exStyle : 0;
}

bool FakeDesktop::SetExStyle(WindowHandle h, std::uint32_t exStyle) {
  Record("SetExStyle", h, Hex(exStyle));
  FakeWindow* w = Live(h);
  if (w == nullptr || w->hung) return false;  // the change is sent to the window
  // Dropping WS_EX_LAYERED throws the layered attributes away, as the system does;
  // setting it again leaves a window whose attributes cannot be read until set.
  if ((w->exStyle & kExLayered) != (exStyle & kExLayered)) w->layered = LayeredAttributes{};
  w->exStyle = exStyle;
  return true;
}

std::string FakeDesktop::GetTitle(WindowHandle h) {
  ++reads.getTitle;
  FakeWindow* w = Live(h);
  return w != nullptr ? w->title : std::string();
}

bool FakeDesktop::SetTitle(WindowHandle h, const std::string& title) {
  Record("SetTitle", h, "\"" + title + "\"");
  FakeWindow* w = Live(h);
  if (w == nullptr || w->hung) return false;  // the send timed out
  w->title = w->storeTitle ? w->storeTitle(title) : title;
  return true;
}

std::string FakeDesktop::ClassNameOf(WindowHandle h) {
  ++reads.getClassName;
  FakeWindow* w = Live(h);
  return w != nullptr ? w->className : std::string();
}

WindowHandle FakeDesktop::GetParent(WindowHandle h) {
  FakeWindow* w = Live(h);
  return w != nullptr ? w->parent : 0;
}

LayeredAttributes FakeDesktop::GetLayered(WindowHandle h) {
  ++reads.getLayered;
  FakeWindow* w = Live(h);
  if (w == nullptr || (w->exStyle & kExLayered) == 0 || !w->layered.readable) return {};
  return w->layered;
}

bool FakeDesktop::SetLayered(WindowHandle h, std::uint32_t colorKey, std::uint8_t alpha,
                             std::uint32_t flags) {
  Record("SetLayered", h,
         "key=" + Hex(colorKey) + " alpha=" + std::to_string(alpha) + " flags=" + Hex(flags));
  FakeWindow* w = Live(h);
  if (w == nullptr || (w->exStyle & kExLayered) == 0) return false;
  w->layered = LayeredAttributes{true, colorKey, alpha, flags};
  return true;
}

bool FakeDesktop::MakeLayered(WindowHandle h, std::uint32_t colorKey, std::uint8_t alpha,
                              std::uint32_t flags) {
  Record("MakeLayered",
         h, "key=" + Hex(colorKey) + " alpha=" + std::to_string(alpha) + " flags=" + Hex(flags));
  FakeWindow* w = Live(h);
  if (w == nullptr || w->hung) return false;
  w->exStyle |= kExLayered;
  w->layered = LayeredAttributes{true, colorKey, alpha, flags};
  return true;
}

bool FakeDesktop::WaitForAnswer(WindowHandle h, unsigned ms) {
  Record("WaitForAnswer", h, std::to_string(ms));
  FakeWindow* w = Live(h);
  if (w == nullptr) return false;
  if (w->answersWhenWaitedFor) w->hung = false;
  return !w->hung;
}

bool FakeDesktop::SetTopMost(WindowHandle h, bool topMost) {
  Record("SetTopMost", h, topMost ? "1" : "0");
  FakeWindow* w = Live(h);
  if (w == nullptr) return false;
  if (topMost)
    w->exStyle |= kExTopMost;
  else
    w->exStyle &= ~kExTopMost;
  return true;
}

bool FakeDesktop::MoveTo(WindowHandle h, int x, int y) {
  Record("MoveTo", h, std::to_string(x) + "," + std::to_string(y));
  FakeWindow* w = Live(h);
  if (w == nullptr) return false;
  if (deferMoves) {
    pendingMoves_.push_back({h, Point{x, y}});
    return true;
  }
  w->rect = Rect{x, y, x + w->rect.Width(), y + w->rect.Height()};
  return true;
}

void FakeDesktop::FlushMoves() {
  for (const auto& [h, p] : pendingMoves_) {
    if (FakeWindow* w = Live(h))
      w->rect = Rect{p.x, p.y, p.x + w->rect.Width(), p.y + w->rect.Height()};
  }
  pendingMoves_.clear();
}

FakeWidget::FakeWidget(WindowHandle handle, int width, int height, FakeDesktop* desktop)
    : rect{0, 0, width, height}, handle_(handle), desktop_(desktop) {
  if (desktop_ != nullptr) desktop_->AddWindow(handle, "トマリギ", "TomariWidget", rect);
}

void FakeWidget::Record(const std::string& op, const std::string& detail) {
  if (desktop_ != nullptr) desktop_->Record(op, handle_, detail);
}

void FakeWidget::MoveTo(int x, int y, bool top) {
  moves.push_back(Move{x, y, top});
  rect = Rect{x, y, x + rect.Width(), y + rect.Height()};
  if (top) topMost = true;
  if (desktop_ != nullptr && desktop_->Has(handle_)) {
    FakeWindow& w = desktop_->Window(handle_);
    w.rect = rect;
    if (top) w.exStyle |= kExTopMost;
  }
  Record("Widget.MoveTo", std::to_string(x) + "," + std::to_string(y) + (top ? " topmost" : ""));
}

void FakeWidget::SetTopMost(bool top) {
  topMostChanges.push_back(top);
  topMost = top;
  if (desktop_ != nullptr && desktop_->Has(handle_)) {
    FakeWindow& w = desktop_->Window(handle_);
    if (top)
      w.exStyle |= kExTopMost;
    else
      w.exStyle &= ~kExTopMost;
  }
  Record("Widget.SetTopMost", top ? "1" : "0");
}

void FakeWidget::Redraw() {
  ++redraws;
  Record("Widget.Redraw", {});
}

}  // namespace tomari::test
