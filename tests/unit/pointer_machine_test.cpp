// Press, move, release and the hover tick on the widget, and the owner chain a
// Ctrl + right drag carries along.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "perch/placement.h"
#include "perch/pointer.h"
#include "support/world.h"

namespace tomari {
namespace {

constexpr WindowHandle kTarget = 0x100, kOwner1 = 0x101, kOwner2 = 0x102, kOwner3 = 0x103;

// The widget at (300, 100) with a LINK button in its top-left corner, and a
// target whose owner chain is four windows long, 0x101 to 0x104.
struct PointerWorld : test::World {
  PointerWorld() : World(true) {
    widget.rect = Rect{300, 100, 300 + test::kFaceWidth, 100 + test::kFaceHeight};
    AddButton("LINK", Rect{0, 0, 20, 20}, "button");
    AddTarget(kTarget).parent = kOwner1;
    for (WindowHandle h = kOwner1; h <= kOwner1 + 3; ++h)
      desktop.AddWindow(h, "Owner", "OwnerClass", Rect{0, 0, 800, 600}).parent =
          h < kOwner1 + 3 ? h + 1 : 0;
  }
  // Mouse events at a screen point, made relative to the widget as the system does.
  void Press(int button, int sx, int sy, int mods = 0) {
    PointerPress(app, ports, button, mods, sx - widget.rect.left, sy - widget.rect.top);
  }
  void Move(int button, int sx, int sy, int mods = 0) {
    PointerMove(app, ports, button, mods, sx - widget.rect.left, sy - widget.rect.top);
  }
  CommandResult Release(int button, int sx, int sy, int mods = 0) {
    return PointerRelease(app, ports, sink, button, mods, sx - widget.rect.left,
                          sy - widget.rect.top);
  }
  Point WidgetAt() const { return Point{widget.rect.left, widget.rect.top}; }
  // The remembered drop place relative to the target.
  Point Offsets() const { return {app.settings.PositionXOffset, app.settings.PositionYOffset}; }
  Point At(WindowHandle h) { return {desktop.Window(h).rect.left, desktop.Window(h).rect.top}; }
};

TEST(PointerClick, ALeftClickRunsTheButtonUnderItARightClickOpensTheMenu) {
  PointerWorld w;
  w.Press(kButtonLeft, 305, 105);
  w.Move(kButtonLeft, 345, 125);  // a drag that ends where it started is a click
  w.Move(kButtonLeft, 305, 105);
  EXPECT_EQ(w.Release(kButtonLeft, 305, 105), CommandResult::Done);
  EXPECT_EQ(w.shell.opened, std::vector<std::string>{"button"});
  EXPECT_FALSE(w.app.drag.Pressed);

  w.Attach(kTarget);
  w.Press(kButtonRight, 305, 105);
  w.Release(kButtonRight, 305, 105);
  EXPECT_EQ(w.sink.calls, std::vector<std::string>{"Popup [pressed]"});
}

TEST(PointerDrag, ALeftDragMovesTheWidgetAndRemembersTheDropRelativeToTheTarget) {
  for (const bool attached : {true, false}) {
    PointerWorld w;
    if (attached) w.Attach(kTarget);
    w.Press(kButtonLeft, 310, 110);
    w.Move(kButtonLeft, 325, 110);
    w.Release(kButtonLeft, 340, 120);
    EXPECT_EQ(w.WidgetAt(), (Point{330, 110}));
    // Without a target the offsets stay as they were.
    EXPECT_EQ(w.Offsets(), (attached ? Point{330, 110} : Point{0, 0}));
    EXPECT_EQ(w.At(kTarget), (Point{200, 200}));  // a left drag leaves it
    // The widget moves without entering the top-most band anew.
    for (const auto& move : w.widget.moves) EXPECT_FALSE(move.topMost);
  }
}

TEST(PointerDrag, ARightDragCarriesTheTargetAndKeepsTheWidgetsPlaceRelativeToIt) {
  PointerWorld w;
  w.Attach(kTarget);
  w.Press(kButtonRight, 310, 110);
  w.Release(kButtonRight, 310, 120);
  EXPECT_EQ(w.WidgetAt(), (Point{300, 110}));
  EXPECT_EQ(w.At(kTarget), (Point{200, 210}));
  EXPECT_TRUE(w.sink.calls.empty());
  // The widget travelled with the target, so its place relative to the target
  // is what it was: (300, 100) against the default anchors' base (340, 160).
  EXPECT_EQ(w.Offsets(), (Point{-40, -60}));
}

// Moves of other programs' windows are asynchronous: mid-drag their positions
// read back stale, and the drag must not lose (or repeat) any of its distance.
TEST(PointerDrag, AsynchronousMovesStillCarryTheWholeDistance) {
  PointerWorld w;
  w.Attach(kTarget);
  w.desktop.deferMoves = true;
  w.Press(kButtonRight, 310, 110, kModCtrl);
  w.Move(kButtonRight, 314, 110, kModCtrl);
  w.Move(kButtonRight, 319, 112, kModCtrl);
  w.desktop.FlushMoves();
  w.Release(kButtonRight, 330, 120, kModCtrl);
  w.desktop.FlushMoves();
  EXPECT_EQ(w.At(kTarget), (Point{220, 210}));
  EXPECT_EQ(w.At(kOwner2), (Point{20, 10}));
}

// A plain move, the middle button, both buttons or a lost capture end the
// press: the release that follows neither clicks nor moves anything.
TEST(PointerButtons, AnythingButALeftOrRightDragEndsThePress) {
  constexpr int kCaptureLost = -1;
  for (const int code : {kButtonLeft | kButtonRight, 0, kCaptureLost, kButtonMiddle}) {
    PointerWorld w;
    w.Attach(kTarget);
    w.app.placement.BaseX = 250;  // as if the last placement had been clamped
    w.Press(kButtonLeft, 305, 105);
    if (code == kCaptureLost)
      PointerCaptureLost(w.app);
    else
      w.Move(code, 325, 105);
    EXPECT_EQ(w.Release(kButtonLeft, 305, 105), CommandResult::Done);
    EXPECT_EQ(w.WidgetAt(), (Point{300, 100})) << code;
    EXPECT_TRUE(w.shell.opened.empty()) << code;
    EXPECT_EQ(w.Offsets(), (Point{0, 0})) << code;
  }
}

// Which look is under the pointer is the face's rule; the tick only feeds it
// the pointer relative to the widget and the press, and stays out of dialogs.
TEST(HoverTick, FollowsThePointerAndThePressButLeavesTheWidgetAloneWhileBusy) {
  PointerWorld w;
  w.desktop.cursor = Point{305, 105};
  w.app.drag.Pressed = true;
  EXPECT_TRUE(HoverTick(w.app, w.ports));
  EXPECT_FALSE(HoverTick(w.app, w.ports)) << "nothing changed, nothing presented";
  EXPECT_EQ(w.FaceStateAt(0), kStateDown);
  w.app.drag.Pressed = false;
  w.app.Busy = true;
  w.desktop.cursor = Point{0, 0};
  EXPECT_FALSE(HoverTick(w.app, w.ports));
  w.app.Busy = false;
  // The pointer far left of the widget, a distance beyond int, hits nothing.
  w.widget.rect = Rect{-2000000000, 0, -2000000000 + 120, 40};
  w.desktop.cursor = Point{2000000000, 5};
  EXPECT_TRUE(HoverTick(w.app, w.ports));
  EXPECT_EQ(w.app.look.states, std::vector<int>{kStateBack});
}

// ---- MoveWindowChain --------------------------------------------------------

std::string Moves(const test::FakeDesktop& d) {
  std::string out;
  for (const std::string& c : d.calls)
    if (c.rfind("MoveTo(", 0) == 0) out += c + " ";
  return out;
}

TEST(MoveWindowChain, WithCtrlOwnersGoFirstNearestFirstEachOnceThenTheWindow) {
  const std::string kOwners = "MoveTo(257, 3,-4) MoveTo(258, 3,-4) MoveTo(259, 3,-4) ";
  const std::string kWindow = "MoveTo(256, 203,196) ";
  // A looped chain runs 0x101 -> 0x102 -> 0x103 -> 0x101; a closed 0x102 ends
  // it, as its owner cannot be asked for.
  enum Chain { kWhole, kLooped, kClosed, kNoDistance };
  const struct {
    int dragParent, modifiers;
    Chain chain;
    std::string moves;
  } kCases[] = {
      {1, kModCtrl, kWhole, "MoveTo(257, 3,-4) " + kWindow},
      {10, kModCtrl, kWhole, kOwners + "MoveTo(260, 3,-4) " + kWindow},
      {10, kModCtrl, kLooped, kOwners + kWindow},
      {10, kModCtrl, kClosed, "MoveTo(257, 3,-4) " + kWindow},
      {10, kModShift | kModAlt, kWhole, kWindow},
      {10, kModCtrl, kNoDistance, ""},
  };
  for (const auto& c : kCases) {
    PointerWorld w;
    w.app.settings.DragParent = c.dragParent;
    if (c.chain == kLooped) w.desktop.Window(kOwner3).parent = kOwner1;
    if (c.chain == kClosed) w.desktop.Close(kOwner2);
    w.desktop.ClearLog();
    const int distance = c.chain == kNoDistance ? 0 : 1;
    MoveWindowChain(w.app, w.desktop, kTarget, 3 * distance, -4 * distance, c.modifiers);
    EXPECT_EQ(Moves(w.desktop), c.moves) << c.dragParent << c.chain << c.modifiers;
  }
}

}  // namespace
}  // namespace tomari
