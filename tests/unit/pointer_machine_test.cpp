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

constexpr WindowHandle kTarget = 0x100;
constexpr WindowHandle kOwner1 = 0x101;
constexpr WindowHandle kOwner2 = 0x102;
constexpr WindowHandle kOwner3 = 0x103;
constexpr WindowHandle kOwner4 = 0x104;

// The widget at (300, 100) with a LINK button in its top-left corner, and a
// target whose owner chain is four windows long.
struct PointerWorld : test::World {
  PointerWorld() : World(true) {
    widget.rect = Rect{300, 100, 300 + test::kFaceWidth, 100 + test::kFaceHeight};
    AddButton("LINK", Rect{0, 0, 20, 20}, "button");
    AddTarget(kTarget).parent = kOwner1;
    WindowHandle child = kOwner1;
    for (WindowHandle owner : {kOwner2, kOwner3, kOwner4, WindowHandle{0}}) {
      desktop.AddWindow(child, "Owner", "OwnerClass", Rect{0, 0, 800, 600}).parent = owner;
      child = owner;
    }
    shell.onOpen = [this](const std::string&) { pressedDuringCommand = app.drag.Pressed; };
  }
  void AttachTarget() {
    Attach(kTarget);
    app.placement.BaseX = 300;
    app.placement.BaseY = 100;
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
  Point Offsets() const {
    return Point{app.settings.PositionXOffset, app.settings.PositionYOffset};
  }
  Point WindowAt(WindowHandle h) {
    const Rect& r = desktop.Window(h).rect;
    return Point{r.left, r.top};
  }
  bool pressedDuringCommand = false;
};

TEST(PointerClick, ALeftClickRunsTheButtonUnderTheReleasePointWhilePressed) {
  PointerWorld w;
  w.Press(kButtonLeft, 305, 105);
  EXPECT_TRUE(w.app.drag.Pressed);
  EXPECT_EQ(w.FaceStateAt(0), kStateDown);
  w.Move(kButtonLeft, 345, 125);  // a drag that ends where it started is a click
  w.Move(kButtonLeft, 305, 105);
  EXPECT_EQ(w.Release(kButtonLeft, 305, 105), CommandResult::Done);
  EXPECT_EQ(w.shell.opened, std::vector<std::string>{"button"});
  EXPECT_TRUE(w.pressedDuringCommand);
  EXPECT_FALSE(w.app.drag.Pressed);
  EXPECT_EQ(w.FaceStateAt(0), kStateFloat);
}

TEST(PointerClick, ARightClickOpensTheMenuAndRunsThePick) {
  PointerWorld w;
  w.AttachTarget();
  Menu_WindowSet_Click(w.app, w.ports);
  w.sink.popupPick = MenuItem::TopMost;
  w.Press(kButtonRight, 305, 105);
  EXPECT_EQ(w.FaceStateAt(0), kStateFloat);  // the pressed look is the left button's
  w.Release(kButtonRight, 305, 105);
  EXPECT_EQ(w.sink.calls, std::vector<std::string>{"Popup [pressed]"});
  EXPECT_TRUE(w.app.menu.TopMostChecked);
  EXPECT_FALSE(w.app.drag.Pressed);
  EXPECT_TRUE(w.shell.opened.empty());
}

TEST(PointerClick, TheExitButtonLeavesEverythingAsItWas) {
  PointerWorld w;
  w.app.skin.Buttons[0].Type = "EXIT";
  w.Press(kButtonLeft, 305, 105);
  const int presents = w.widget.presents;
  EXPECT_EQ(w.Release(kButtonLeft, 305, 105), CommandResult::Exited);
  EXPECT_EQ(w.sink.calls, std::vector<std::string>{"Exit [pressed]"});
  EXPECT_EQ(w.widget.presents, presents);
  EXPECT_TRUE(w.app.drag.Pressed);  // not even the press is cleared
}

TEST(PointerDrag, ALeftDragMovesTheWidgetAndRemembersTheDropRelativeToTheTarget) {
  for (const bool attached : {true, false}) {
    PointerWorld w;
    if (attached) w.AttachTarget();
    w.app.settings.PositionXOffset = 7;
    w.app.settings.PositionYOffset = -3;
    w.Press(kButtonLeft, 310, 110);
    w.Move(kButtonLeft, 325, 110);
    w.Move(kButtonLeft, 340, 120);
    w.Release(kButtonLeft, 340, 120);
    EXPECT_EQ(w.WidgetAt(), (Point{330, 110}));
    // Without a target the offsets stay as they were.
    EXPECT_EQ(w.Offsets(), (attached ? Point{30, 10} : Point{7, -3}));
    EXPECT_TRUE(w.shell.opened.empty());
    EXPECT_EQ(w.WindowAt(kTarget), (Point{200, 200}));  // a left drag leaves it
    // The widget moves without entering the top-most band anew.
    for (const auto& move : w.widget.moves) EXPECT_FALSE(move.topMost);
  }
}

TEST(PointerDrag, ARightDragCarriesTheTargetAndCtrlItsOwnersAsFarAsDragParentSays) {
  PointerWorld w;
  w.AttachTarget();
  w.Press(kButtonRight, 310, 110);
  w.Move(kButtonRight, 310, 115);
  w.Release(kButtonRight, 310, 120);
  EXPECT_EQ(w.WidgetAt(), (Point{300, 110}));
  EXPECT_EQ(w.WindowAt(kTarget), (Point{200, 210}));
  EXPECT_EQ(w.WindowAt(kOwner1), (Point{0, 0}));
  EXPECT_TRUE(w.sink.calls.empty());
  // The widget travelled with the target, so its place relative to the target
  // is what it was: (300, 100) against the default anchors' base (340, 160).
  EXPECT_EQ(w.Offsets(), (Point{-40, -60}));
}

// Moves of other programs' windows are asynchronous: mid-drag their positions
// read back stale, and the drag must not lose (or repeat) any of its distance.
TEST(PointerDrag, AsynchronousMovesStillCarryTheWholeDistance) {
  PointerWorld w;
  w.AttachTarget();
  w.desktop.deferMoves = true;
  w.Press(kButtonRight, 310, 110, kModCtrl);
  w.Move(kButtonRight, 314, 110, kModCtrl);
  w.Move(kButtonRight, 319, 112, kModCtrl);
  w.desktop.FlushMoves();
  w.Move(kButtonRight, 325, 116, kModCtrl);
  w.Release(kButtonRight, 330, 120, kModCtrl);
  w.desktop.FlushMoves();
  EXPECT_EQ(w.WindowAt(kTarget), (Point{220, 210}));
  EXPECT_EQ(w.WindowAt(kOwner2), (Point{20, 10}));
}

TEST(PointerButtons, TheMiddleButtonBothButtonsAPlainMoveOrALostCaptureEndThePress) {
  constexpr int kCaptureLost = -1, kReleaseOnly = -2;
  for (const int code :
       {kButtonLeft | kButtonRight, 0, kCaptureLost, kButtonMiddle, kReleaseOnly}) {
    PointerWorld w;
    w.AttachTarget();
    w.app.placement.BaseX = 250;  // as if the last placement had been clamped
    const int button = code == kButtonMiddle ? kButtonMiddle : kButtonLeft;
    if (code != kReleaseOnly) w.Press(button, 305, 105);
    if (code == kCaptureLost)
      PointerCaptureLost(w.app);
    else if (code != kReleaseOnly)
      w.Move(code, 325, 105);
    EXPECT_FALSE(w.app.drag.Pressed) << code;
    EXPECT_EQ(w.WidgetAt(), (Point{300, 100})) << code;
    EXPECT_EQ(w.Release(button, 305, 105), CommandResult::Done);
    w.Release(kButtonRight, 305, 105);
    EXPECT_TRUE(w.shell.opened.empty() && w.sink.calls.empty()) << code;
    EXPECT_EQ(w.Offsets(), (Point{0, 0})) << code;
  }
}

TEST(PointerOffsets, AClickAfterAClampedPlacementKeepsTheClampedPlace) {
  PointerWorld w;
  // Flush with the top of the monitor: the default anchors put the widget
  // 40 pixels above it, and the placement pulls it down onto the screen.
  w.desktop.Window(kTarget).rect = Rect{200, 0, 600, 300};
  w.AttachTarget();
  PlaceWidget(w.app, w.ports, kTarget);
  ASSERT_EQ(w.app.placement.BaseY, -40);
  ASSERT_EQ(w.WidgetAt(), (Point{340, 0}));
  w.Press(kButtonLeft, 400, 30);  // the widget's empty area
  w.Release(kButtonLeft, 400, 30);
  EXPECT_EQ(w.Offsets(), (Point{0, 40}));
  PlaceWidget(w.app, w.ports, kTarget);
  EXPECT_EQ(w.WidgetAt(), (Point{340, 0}));

  // Without automatic placement the offsets come from the last base.
  PointerWorld v;
  v.app.settings.PositionAuto = 0;
  v.Attach(kTarget);  // no placement has run: the base is (0, 0)
  v.Press(kButtonLeft, 330, 130);
  v.Release(kButtonLeft, 330, 130);
  EXPECT_EQ(v.Offsets(), (Point{300, 100}));
}

TEST(HoverTick, FollowsThePointerAndTheTargetButLeavesTheWidgetAloneWhileBusy) {
  PointerWorld w;
  w.AddButton("WINDOWSET", Rect{30, 0, 50, 20}, "", "fix", 0x900001);
  w.desktop.cursor = Point{335, 105};
  EXPECT_TRUE(HoverTick(w.app, w.ports));
  EXPECT_FALSE(HoverTick(w.app, w.ports));
  EXPECT_EQ(w.FaceStateAt(1), kStateUnavailable);
  w.app.drag.Pressed = true;
  w.desktop.cursor = Point{305, 105};
  EXPECT_TRUE(HoverTick(w.app, w.ports));
  EXPECT_EQ(w.FaceStateAt(0), kStateDown);
  w.app.drag.Pressed = false;
  // A target arrives: the WINDOWSET button comes alive without the pointer moving.
  w.AttachTarget();
  w.desktop.cursor = Point{335, 105};
  EXPECT_TRUE(HoverTick(w.app, w.ports));
  EXPECT_EQ(w.FaceStateAt(1), kStateFloat);
  EXPECT_EQ(w.widget.cursor, 0x900001u);
  // While a dialog runs the widget is left alone.
  w.app.Busy = true;
  w.desktop.cursor = Point{0, 0};
  EXPECT_FALSE(HoverTick(w.app, w.ports));
  EXPECT_EQ(w.widget.toolTip, "fix");
  w.app.Busy = false;
  // The pointer far left of the widget, a distance beyond int, hits nothing.
  w.widget.rect = Rect{-2000000000, 0, -2000000000 + 120, 40};
  w.desktop.cursor = Point{2000000000, 5};
  EXPECT_TRUE(HoverTick(w.app, w.ports));
  EXPECT_EQ(w.app.look.states, (std::vector<int>{kStateBack, kStateBack}));
}

// ---- MoveWindowChain --------------------------------------------------------

std::vector<std::string> Moves(const test::FakeDesktop& d) {
  std::vector<std::string> out;
  for (const std::string& c : d.calls)
    if (c.rfind("MoveTo(", 0) == 0) out.push_back(c);
  return out;
}

TEST(MoveWindowChain, OwnersFirstNearestFirstThenTheWindow) {
  const struct {
    int dragParent;
    std::vector<std::string> moves;
  } kCases[] = {
      {1, {"MoveTo(257, 3,-4)", "MoveTo(256, 203,196)"}},
      {3, {"MoveTo(257, 3,-4)", "MoveTo(258, 3,-4)", "MoveTo(259, 3,-4)", "MoveTo(256, 203,196)"}},
      {10,
       {"MoveTo(257, 3,-4)", "MoveTo(258, 3,-4)", "MoveTo(259, 3,-4)", "MoveTo(260, 3,-4)",
        "MoveTo(256, 203,196)"}},
  };
  for (const auto& c : kCases) {
    PointerWorld w;
    w.app.settings.DragParent = c.dragParent;
    MoveWindowChain(w.app, w.desktop, kTarget, 3, -4, kModCtrl);
    EXPECT_EQ(Moves(w.desktop), c.moves) << c.dragParent;
  }
}

TEST(MoveWindowChain, ABrokenChainMovesEachWindowOnceAndSkipsClosedOnes) {
  PointerWorld w;
  w.desktop.Window(kOwner3).parent = kOwner1;  // 0x101 -> 0x102 -> 0x103 -> 0x101
  MoveWindowChain(w.app, w.desktop, kTarget, 1, 1, kModCtrl);
  EXPECT_EQ(Moves(w.desktop).size(), 4u);

  PointerWorld v;
  v.desktop.Close(kOwner2);  // the chain ends there: its owner cannot be asked for
  MoveWindowChain(v.app, v.desktop, kTarget, 1, 1, kModCtrl);
  EXPECT_EQ(Moves(v.desktop),
            (std::vector<std::string>{"MoveTo(257, 1,1)", "MoveTo(256, 201,201)"}));
  // Without Ctrl only the window moves; without distance nothing does.
  PointerWorld u;
  MoveWindowChain(u.app, u.desktop, kTarget, 3, -4, kModShift | kModAlt);
  EXPECT_EQ(Moves(u.desktop), std::vector<std::string>{"MoveTo(256, 203,196)"});
  u.desktop.ClearLog();
  MoveWindowChain(u.app, u.desktop, kTarget, 0, 0, kModCtrl);
  EXPECT_TRUE(u.desktop.calls.empty());
}

}  // namespace
}  // namespace tomari
